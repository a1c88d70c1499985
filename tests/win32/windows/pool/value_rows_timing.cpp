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
#include "generated_value_texts.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start) {
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    const std::uint32_t count =
        argc > 1 ? static_cast<std::uint32_t>(std::atoi(argv[1])) : 2000000u;
    auto start = clock_type::now();
    const std::vector<std::string> texts = generate_value_texts(count);
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
