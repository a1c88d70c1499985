// Ordering of host texts by their bytes, compared in place: the engine's way
// to find the distinct values of a pool.
#pragma once

#include <cstdint>

// One text to be ordered. `key` holds the text's bytes from the current
// comparison depth on, big-endian, zero beyond the end of the text.
struct text_sort_record {
    std::uint64_t key;
    const char* text;
    std::uint32_t length;
    std::uint32_t count;
    // Carried along by the sorts for the caller's own use.
    std::uint32_t aux = 0;
};

// The record of a text of length bytes, ready for sort_texts.
text_sort_record make_text_sort_record(const char* text, std::uint32_t length,
                                       std::uint32_t count) noexcept;

// Byte order of two texts whose records hold their keys from depth 0 (as
// make_text_sort_record gives them): negative, 0 or positive.
int compare_texts(const text_sort_record& a, const text_sort_record& b) noexcept;

// Sorts the records into ascending unsigned byte order of their texts (the
// lower byte first; a text that ends first sorts first; no case folding) and
// marks the distinct values: afterwards records[i].key is 1 when record i
// holds a different text than record i - 1 (always for record 0) and 0 when
// it holds the same bytes. Texts are compared eight bytes at a time, by a
// radix sort of large ranges and three-way partitions of smaller ones, so
// each text is read about once per eight bytes that it shares with another.
// Equal texts are not kept in any particular order. Raises std::bad_alloc
// (records unchanged) when the scratch records cannot be had.
void sort_texts(text_sort_record* records, std::uint32_t count);
