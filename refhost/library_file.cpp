#include "refhost/library_file.h"

#include <windows.h>

#include <unordered_map>
#include <utility>

#include "refhost/text_convert.h"

namespace refhost {

namespace {

bool valid_utf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (t & 0x3F);
        }
        static const std::uint32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

// Undoes the escapes of names and values (\\ \n \r \t \=); with split set,
// splits at the first unescaped '='. Paths and playlist names have no escapes.
struct unescaped {
    std::string first;
    std::string second;
    bool has_equals = false;
    std::string error;
};

unescaped unescape(std::string_view text, bool split) {
    unescaped out;
    std::string* target = &out.first;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            if (i + 1 >= text.size()) {
                out.error = "a backslash ends the line";
                return out;
            }
            const char e = text[++i];
            switch (e) {
            case '\\':
                *target += '\\';
                break;
            case 'n':
                *target += '\n';
                break;
            case 'r':
                *target += '\r';
                break;
            case 't':
                *target += '\t';
                break;
            case '=':
                *target += '=';
                break;
            default:
                out.error = std::string("unknown escape \\") + e;
                return out;
            }
        } else if (c == '=' && split && !out.has_equals) {
            out.has_equals = true;
            target = &out.second;
        } else {
            *target += c;
        }
    }
    return out;
}

class library_parser {
public:
    void line(std::uint32_t number, std::string_view text);
    library_load_result finish() {
        m_result.opened = true;
        return std::move(m_result);
    }

private:
    void problem(std::string message) {
        m_result.problems.push_back(library_problem{m_line, std::move(message)});
    }
    track_data* current_track() {
        return m_current == UINT32_MAX ? nullptr : &m_result.data.tracks[m_current];
    }
    std::uint32_t known_track(const std::string& path) {
        const auto found = m_paths.find(path);
        return found == m_paths.end() ? UINT32_MAX : found->second;
    }
    void start_track(std::string_view argument, bool in_library);
    void field(std::string_view argument, bool meta);
    void flag(std::string_view keyword, std::string_view argument);
    void library_again(std::string_view argument);
    void playlist(std::string_view argument);
    void item(std::string_view argument, bool selected);

    library_load_result m_result;
    std::unordered_map<std::string, std::uint32_t> m_paths;
    std::uint32_t m_current = UINT32_MAX;  // track that field lines add to
    std::uint32_t m_playlist = UINT32_MAX; // playlist that item lines add to
    std::uint32_t m_line = 0;
};

void library_parser::line(std::uint32_t number, std::string_view text) {
    m_line = number;
    if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
    }
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos || text[first] == '#') {
        return;
    }
    const std::size_t gap = text.find_first_of(" \t");
    const std::string_view keyword = text.substr(0, gap);
    const std::string_view argument =
        gap == std::string_view::npos ? std::string_view() : text.substr(gap + 1);
    const bool has_nul = text.find('\0') != std::string_view::npos;
    if (has_nul || !valid_utf8(text)) {
        // The texts are kept NUL-terminated, so a NUL would cut them short.
        problem(has_nul ? "the line contains a NUL byte" : "the line is not valid UTF-8");
        // The lines after a refused track or playlist must not land on an
        // earlier one.
        if (keyword == "track" || keyword == "file") {
            m_current = UINT32_MAX;
        } else if (keyword == "playlist") {
            m_playlist = UINT32_MAX;
        }
        return;
    }
    if (keyword == "track" || keyword == "file") {
        start_track(argument, keyword == "track");
    } else if (keyword == "meta" || keyword == "info") {
        field(argument, keyword == "meta");
    } else if (keyword == "nopath" || keyword == "uncached") {
        flag(keyword, argument);
    } else if (keyword == "library") {
        library_again(argument);
    } else if (keyword == "playlist") {
        playlist(argument);
    } else if (keyword == "item" || keyword == "selected") {
        item(argument, keyword == "selected");
    } else {
        problem("unknown keyword \"" + std::string(keyword) + "\"");
    }
}

void library_parser::start_track(std::string_view argument, bool in_library) {
    m_current = UINT32_MAX;
    const std::string path(argument); // paths are taken as they stand: no escapes
    if (path.empty()) {
        problem("a track needs a path");
        return;
    }
    if (known_track(path) != UINT32_MAX) {
        problem("the track \"" + path + "\" is already defined");
        return;
    }
    track_data track;
    track.path = path;
    m_current = m_result.data.add_track(std::move(track), in_library);
    m_paths.emplace(path, m_current);
}

void library_parser::field(std::string_view argument, bool meta) {
    track_data* track = current_track();
    if (track == nullptr) {
        problem("a field line needs a track line before it");
        return;
    }
    const unescaped parts = unescape(argument, true);
    if (!parts.error.empty()) {
        problem(parts.error);
        return;
    }
    if (parts.first.empty()) {
        problem("a field needs a name");
        return;
    }
    if (meta) {
        if (!parts.has_equals) {
            for (const meta_field_data& existing : track->meta) {
                if (existing.name == parts.first) {
                    return; // the field exists already; nothing to add
                }
            }
            track->meta.push_back(meta_field_data{parts.first, {}});
            return;
        }
        add_meta_value(*track, parts.first, parts.second);
        return;
    }
    if (!parts.has_equals) {
        problem("an info field needs \"=\" and a value");
        return;
    }
    for (const info_field_data& existing : track->info) {
        if (existing.name == parts.first) {
            problem("the info field \"" + parts.first + "\" is given twice");
            return;
        }
    }
    track->info.push_back(info_field_data{parts.first, parts.second});
}

void library_parser::flag(std::string_view keyword, std::string_view argument) {
    track_data* track = current_track();
    if (track == nullptr) {
        problem("\"" + std::string(keyword) + "\" needs a track line before it");
        return;
    }
    if (argument.find_first_not_of(" \t") != std::string_view::npos) {
        problem("\"" + std::string(keyword) + "\" takes no argument");
        return;
    }
    if (keyword == "nopath") {
        track->has_path = false;
    } else {
        track->cached = false;
    }
}

void library_parser::library_again(std::string_view argument) {
    const std::string path(argument);
    const std::uint32_t index = known_track(path);
    if (index == UINT32_MAX) {
        problem("no track \"" + path + "\" is defined before this line");
        return;
    }
    m_result.data.library.push_back(index);
}

void library_parser::playlist(std::string_view argument) {
    m_result.data.playlists.push_back(playlist_data{std::string(argument), {}});
    m_playlist = static_cast<std::uint32_t>(m_result.data.playlists.size() - 1);
}

void library_parser::item(std::string_view argument, bool selected) {
    if (m_playlist == UINT32_MAX) {
        problem("an item line needs a playlist line before it");
        return;
    }
    const std::string path(argument);
    const std::uint32_t index = known_track(path);
    if (index == UINT32_MAX) {
        problem("no track \"" + path + "\" is defined before this line");
        return;
    }
    m_result.data.playlists[m_playlist].entries.push_back(playlist_entry{index, selected});
}

} // namespace

library_load_result parse_library_text(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    library_parser parser;
    std::uint32_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        ++number;
        parser.line(number, text.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return parser.finish();
}

library_load_result load_library_file(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        library_load_result failed;
        failed.error = system_error_message(GetLastError());
        return failed;
    }
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got != 0) {
        bytes.append(buffer, got);
    }
    const DWORD error = ok ? 0 : GetLastError();
    CloseHandle(file);
    if (!ok) {
        library_load_result failed;
        failed.error = system_error_message(error);
        return failed;
    }
    return parse_library_text(bytes);
}

std::vector<std::string> describe_problems(const std::string& file_name,
                                           const library_load_result& result) {
    std::vector<std::string> lines;
    lines.reserve(result.problems.size());
    for (const library_problem& p : result.problems) {
        lines.push_back(file_name + ":" + std::to_string(p.line) + ": " + p.message);
    }
    return lines;
}

} // namespace refhost
