// A small library of tracks with shared names, copied values, a track
// without cached info and one without a path, for the computation tests.
#pragma once

#include "fake_host.h"

namespace engine_fakes {

inline metadb_handle_list_t small_library(fake_host& host) {
    const char* artist = host.texts.add("artist");
    const char* title = host.texts.add("title");
    const char* codec = host.texts.add("codec");
    const char* rate = host.texts.add("samplerate");
    fake_track& a =
        host.new_track(host.texts.add("C:\\music\\a.flac"),
                       {{artist, {host.texts.add("Band")}},
                        {title, {host.texts.add("Song"), host.texts.add("Alt")}}},
                       {{codec, host.texts.add("FLAC")}, {rate, host.texts.add("44100")}});
    fake_track& b = host.new_track(
        host.texts.add("C:\\music\\b.mp3"), {{artist, {host.texts.add("Band")}}, {title, {}}},
        {{codec, host.texts.add("MP3")}, {rate, host.texts.add("44100")}});
    fake_track& no_info = host.new_track(host.texts.add("C:\\music\\c.wav"), {}, {});
    no_info.has_info = false;
    fake_track& no_path =
        host.new_track(nullptr, {{title, {host.texts.add("Song")}}}, {{codec, codec}});
    metadb_handle_list_t tracks;
    for (fake_track* t : {&a, &b, &no_info, &no_path, &a}) {
        tracks.push_item(metadb_handle_ptr(t));
    }
    return tracks;
}

} // namespace engine_fakes
