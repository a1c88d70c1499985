#include "win32/refhost/test_support.h"

namespace refhost_test {

std::wstring executable_folder() {
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring scratch_folder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"refhost-tests";
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"\\";
    folder += name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

refhost::library_data small_library() {
    using namespace refhost;
    library_data data;
    auto make = [](const char* path, const char* artist, const char* genre) {
        track_data t;
        t.path = path;
        add_meta_value(t, "artist", artist);
        add_meta_value(t, "genre", genre);
        t.info.push_back({"codec", "FLAC"});
        return t;
    };
    track_data a = make("D:\\A.flac", "Zoé", "Rock");
    add_meta_value(a, "artist", "Мария");
    data.add_track(a, true);
    data.add_track(make("D:\\B.flac", "Jürgen", "Rock"), true);
    data.add_track(make("D:\\C.flac", "日本語", "Jazz"), true);
    data.add_track(make("E:\\D.mp3", "Straße", "Pop"), false);
    track_data e = make("E:\\E.ogg", "Anna", "Folk");
    add_meta_value(e, "codec", "tagged codec");
    data.add_track(e, false);
    data.playlists.push_back({"P0", {{track_a, false}, {track_d, false}, {track_b, false}}});
    data.playlists.push_back({"P1", {{track_d, false}, {track_a, true}}});
    data.playlists.push_back({"P2", {}});
    return data;
}

std::string library_fingerprint(const refhost::library_data& data) {
    std::string out;
    auto piece = [&out](char tag, const std::string& text) {
        out += tag + std::to_string(text.size()) + ':' + text;
    };
    for (const refhost::track_data& t : data.tracks) {
        piece('T', t.path);
        out += t.has_path ? "" : "!nopath";
        out += t.cached ? "" : "!uncached";
        for (const refhost::meta_field_data& f : t.meta) {
            piece('M', f.name);
            for (const std::string& v : f.values) {
                piece('=', v);
            }
        }
        for (const refhost::info_field_data& f : t.info) {
            piece('I', f.name);
            piece('=', f.value);
        }
    }
    for (const std::uint32_t index : data.library) {
        out += 'L' + std::to_string(index);
    }
    for (const refhost::playlist_data& p : data.playlists) {
        piece('P', p.name);
        for (const refhost::playlist_entry& e : p.entries) {
            out += std::to_string(e.track) + (e.selected ? "*" : ",");
        }
    }
    return out;
}

} // namespace refhost_test
