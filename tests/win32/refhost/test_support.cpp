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

} // namespace refhost_test
