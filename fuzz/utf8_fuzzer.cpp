// Feeds arbitrary bytes to the UTF-8 decoder and the UTF-16 conversion:
// nothing may read past the text or write past the buffer, and the estimate,
// the conversion and the owned text must agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "support/utf8.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Every sequence decoded within an unterminated block of exactly size bytes.
void decode_unterminated(const std::uint8_t* data, std::size_t size) {
    std::vector<char> block(data, data + size); // no terminator: reads beyond are caught
    std::size_t at = 0;
    while (at < size) {
        std::uint32_t code_point = 0;
        const auto left = static_cast<std::uint32_t>(size - at);
        const std::uint32_t consumed = decode_utf8_sequence(left, block.data() + at, code_point);
        check(consumed <= 6 && consumed <= left);
        if (consumed == 0) {
            ++at; // resynchronise one byte further
            continue;
        }
        check(consumed == 1 ? code_point < 0x80 : code_point >= 0x10);
        at += consumed;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    decode_unterminated(data, size);

    // The first byte picks a buffer capacity; the rest is the text.
    const std::uint32_t capacity = data[0] % 64;
    std::vector<char> text(data + 1, data + size);
    text.push_back('\0');

    const std::uint32_t needed = wide_length_of_utf8(text.data());
    check(needed >= 1 && needed <= text.size());

    const wide_text owned = utf8_to_wide_text(text.data());
    check(owned.length() == needed - 1);

    constexpr char16_t guard = 0xFEED;
    constexpr std::size_t guards = 8;
    std::vector<char16_t> block(capacity + 2 * guards, guard);
    char16_t* buffer = block.data() + guards;
    const std::uint32_t written = convert_utf8_to_wide(buffer, capacity, text.data());
    for (std::size_t i = 0; i < guards; ++i) {
        check(block[i] == guard && block[guards + capacity + i] == guard);
    }
    if (capacity == 0) {
        check(written == 0);
        return 0;
    }
    check(written < capacity && buffer[written] == 0);
    check(std::memcmp(buffer, owned.c_str(), written * sizeof(char16_t)) == 0);
    if (capacity >= needed) {
        check(written == needed - 1);
    }
    return 0;
}
