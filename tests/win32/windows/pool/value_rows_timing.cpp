// Measures the value page's table on its own over a large generated set of
// distinct values (default 2,000,000): the copies, the fill order, and a sort
// by every column in both directions, in the product's 32-bit setting. Not a
// test: run it by hand under wine and read the figures.
//
//   wine value_rows_timing.exe [values]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ui/pool_window/value_rows.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start) {
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

// Distinct texts shaped like metadata values: words of mixed case, numbers,
// paths; in ascending byte order as the engine hands them over.
std::vector<std::string> generate_texts(std::uint32_t count) {
    const char* words[] = {"Rock", "rock", "Jazz",    "The", "the",   "Night", "night", "Blue",
                           "Live", "LIVE", "Ambient", "Léa", "Björn", "日本",  "Song",  "Album"};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> word(0, 15);
    std::vector<std::string> texts;
    texts.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string text;
        switch (i % 4) {
        case 0:
            text = "C:\\Music\\" + std::string(words[word(random)]) + "\\" + std::to_string(i) +
                   " " + words[word(random)] + ".flac";
            break;
        case 1:
            text = std::string(words[word(random)]) + " " + words[word(random)] + " " +
                   std::to_string(i);
            break;
        case 2:
            text = std::to_string(i * 7u);
            break;
        default:
            text = std::string(words[word(random)]) + std::to_string(i);
            break;
        }
        texts.push_back(std::move(text));
    }
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    return texts;
}

} // namespace

int main(int argc, char** argv) {
    const std::uint32_t count =
        argc > 1 ? static_cast<std::uint32_t>(std::atoi(argv[1])) : 2000000u;
    auto start = clock_type::now();
    const std::vector<std::string> texts = generate_texts(count);
    string_info_list2 values;
    std::mt19937 random(11);
    std::uniform_int_distribution<std::uint32_t> counts(1, 40);
    std::uint64_t bytes = 0;
    for (const std::string& text : texts) {
        const std::uint32_t logical = counts(random);
        values.push_item(string_info2{text.c_str(), static_cast<std::uint32_t>(text.size()),
                                      logical, 1 + logical % 3});
        bytes += text.size() + 1;
    }
    std::printf("generated %u values (%llu bytes of text) in %.2f s\n", values.get_count(),
                static_cast<unsigned long long>(bytes), seconds_since(start));

    value_rows table;
    start = clock_type::now();
    table.copy(values);
    std::printf("copy %7.3f s\n", seconds_since(start));
    start = clock_type::now();
    table.arrange_in_fill_order();
    std::printf("fill order %7.3f s\n", seconds_since(start));
    const char* names[] = {"Length",      "Logical Strings", "Physical Strings",
                           "Used Memory", "Required Memory", "Value"};
    for (int column : {5, 0, 1, 2, 3, 4}) {
        for (bool descending : {false, true}) {
            start = clock_type::now();
            table.sort(column, descending);
            std::printf("sort by %-17s %-10s %7.3f s\n", names[column],
                        descending ? "descending" : "ascending", seconds_since(start));
        }
    }
    return 0;
}
