// The host's library text format (described in refhost/README.md): tracks
// with their path, tag and technical-information fields, and named playlists
// of paths. A bad line is reported with its number and skipped; every good
// line is kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "refhost/library_data.h"

namespace refhost {

struct library_problem {
    std::uint32_t line = 0; // 1-based
    std::string message;
};

struct library_load_result {
    bool opened = false; // false: the file could not be read (error says why)
    std::string error;
    library_data data;
    std::vector<library_problem> problems;
};

library_load_result parse_library_text(std::string_view text);
library_load_result load_library_file(const std::wstring& path);

// "<file>:<line>: <message>" for each problem, in line order.
std::vector<std::string> describe_problems(const std::string& file_name,
                                           const library_load_result& result);

} // namespace refhost
