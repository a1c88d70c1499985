// Feeds arbitrary texts to the text sort that groups a pool's strings by
// value: the records must come out in ascending unsigned byte order (a text
// that ends first sorts first), with a new-value mark exactly where the bytes
// change, and compare_texts must agree with a plain byte comparison. The
// input is cut at its NUL bytes into texts; an odd first byte also adds every
// concatenation of two of them (up to 8,190 records, enough for the radix
// steps). Each text has a heap block of its own size, so any read past a text
// is caught.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/text_order.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

int byte_order(const std::string& a, const std::string& b) {
    const int r = a.compare(b); // unsigned bytes, the shorter first on a common prefix
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::vector<std::string> texts(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0) {
            texts.emplace_back();
        } else {
            texts.back() += static_cast<char>(data[i]);
        }
    }
    if (data[0] % 2 == 1 && texts.size() <= 90) {
        const std::size_t parts = texts.size();
        for (std::size_t a = 0; a < parts; ++a) {
            for (std::size_t b = 0; b < parts; ++b) {
                texts.push_back(texts[a] + texts[b]);
            }
        }
    }

    std::vector<std::unique_ptr<char[]>> blocks;
    std::vector<text_sort_record> records;
    for (const std::string& text : texts) {
        blocks.emplace_back(new char[text.size() + 1]);
        std::memcpy(blocks.back().get(), text.c_str(), text.size() + 1);
        records.push_back(
            make_text_sort_record(blocks.back().get(), static_cast<std::uint32_t>(text.size()), 1));
    }
    for (std::size_t i = 1; i < records.size() && i < 64; ++i) {
        check(sign(compare_texts(records[i - 1], records[i])) ==
              byte_order(texts[i - 1], texts[i]));
    }

    const auto count = static_cast<std::uint32_t>(records.size());
    sort_texts(records.data(), count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::string text(records[i].text, records[i].length);
        check(std::strlen(records[i].text) == records[i].length);
        if (i == 0) {
            check(records[i].key == 1);
            continue;
        }
        const std::string previous(records[i - 1].text, records[i - 1].length);
        const int order = byte_order(previous, text);
        check(order <= 0);
        check(records[i].key == (order < 0 ? 1u : 0u));
    }
    return 0;
}
