#include "synthetic_library.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace bench {

namespace {

// Interned field names.
const char* const meta_names[13] = {
    "artist",     "title",       "album",    "date",      "genre",   "tracknumber", "totaltracks",
    "discnumber", "albumartist", "composer", "performer", "comment", "label"};
const char* const info_names[10] = {"codec",    "bitrate",       "samplerate",
                                    "channels", "bitspersample", "encoding",
                                    "tool",     "codec_profile", "replaygain_track_gain",
                                    "md5"};

class track_source final : public list_base_const_t<metadb_handle_ptr> {
public:
    explicit track_source(const std::vector<synthetic_track*>& tracks) : m_tracks(tracks) {}
    std::uint32_t item_count() const override {
        return static_cast<std::uint32_t>(m_tracks.size());
    }
    void copy_item(metadb_handle_ptr& destination, std::uint32_t index) const override {
        destination.reset(m_tracks[index]);
    }

private:
    const std::vector<synthetic_track*>& m_tracks;
};

} // namespace

class synthetic_host::library_service final : public media_library {
public:
    explicit library_service(synthetic_host& host) : m_host(host) {}
    int service_release() override { return 1; }
    int service_add_ref() override { return 2; }
    bool service_query(service_base**, const GUID&) override { return false; }
    void all_tracks(list_base_t<metadb_handle_ptr>& out) override {
        out.insert_list(track_source(m_host.library_tracks), out.item_count());
    }

private:
    synthetic_host& m_host;
};

class synthetic_host::playlist_service_impl final : public playlist_service {
public:
    explicit playlist_service_impl(synthetic_host& host) : m_host(host) {}
    int service_release() override { return 1; }
    int service_add_ref() override { return 2; }
    bool service_query(service_base**, const GUID&) override { return false; }
    std::uint32_t playlist_count() override {
        return static_cast<std::uint32_t>(m_host.playlists.size());
    }
    void enumerate_tracks(std::uint32_t playlist, track_visitor& visitor,
                          const bit_array& mask) override {
        const auto& tracks = m_host.playlists[playlist];
        for (std::uint32_t i = 0; i < tracks.size(); ++i) {
            if (mask.bit_at(i) && !visitor.on_track(i, tracks[i], false)) {
                return;
            }
        }
    }

private:
    synthetic_host& m_host;
};

class synthetic_host::cache_service final : public metadata_cache {
public:
    int service_release() override { return 1; }
    int service_add_ref() override { return 2; }
    bool service_query(service_base**, const GUID&) override { return false; }
    void acquire_lock() override {}
    void release_lock() override {}
};

synthetic_host::synthetic_host(std::uint32_t count, std::uint32_t seed)
    : m_library(new library_service(*this)), m_playlists(new playlist_service_impl(*this)),
      m_cache(new cache_service) {
    std::mt19937 rng(seed);
    const auto below = [&rng](std::uint32_t n) { return static_cast<std::uint32_t>(rng() % n); };
    const char* names[23];
    for (int i = 0; i < 13; ++i) {
        names[i] = meta_names[i];
    }
    for (int i = 0; i < 10; ++i) {
        names[13 + i] = info_names[i];
    }
    // Names are interned: one allocated object each.
    const char* interned[23];
    for (int i = 0; i < 23; ++i) {
        m_strings.push_back(strdup(names[i]));
        interned[i] = m_strings.back();
    }
    const std::uint32_t artists = count / 20 + 1;
    const std::uint32_t composers = count / 50 + 1;
    static const char* const genres[] = {"Rock",       "Pop",     "Jazz",    "Blues", "Classical",
                                         "Electronic", "Folk",    "Hip-Hop", "Metal", "Soul",
                                         "Reggae",     "Ambient", "Country", "Punk",  "Latin"};
    static const char* const tools[] = {"reference libFLAC 1.3.2 20170101", "LAME3.100",
                                        "Lavf58.29.100", "iTunes 12.9.4.102", "Nero AAC 1.5.4"};
    const std::uint32_t total = count + count / 100 + 1;
    char buffer[256];
    for (std::uint32_t i = 0; i < total; ++i) {
        auto track = std::make_unique<synthetic_track>();
        synthetic_track& t = *track;
        const std::uint32_t artist = below(artists);
        const std::uint32_t album = i / 11;
        const auto copy = [&](const char* text) {
            m_strings.push_back(strdup(text));
            return static_cast<const char*>(m_strings.back());
        };
        const auto add_field = [&](int name, std::initializer_list<std::string> texts) {
            t.fields.push_back({interned[name], static_cast<std::uint32_t>(t.values.size()),
                                static_cast<std::uint32_t>(texts.size())});
            for (const std::string& text : texts) {
                t.values.push_back(copy(text.c_str()));
            }
        };
        std::snprintf(buffer, sizeof buffer, "D:\\Music\\Artist %u\\Album %u\\%02u - Title %u.flac",
                      artist, album, i % 11 + 1, i);
        t.path = copy(buffer);
        const std::string artist_name = "Artist " + std::to_string(artist);
        if (below(5) == 0) {
            add_field(0, {artist_name, "Guest " + std::to_string(below(artists))});
        } else {
            add_field(0, {artist_name});
        }
        add_field(1, {"Title of track number " + std::to_string(i)});
        add_field(2, {"Album " + std::to_string(album)});
        add_field(3, {std::to_string(1960 + below(65))});
        if (below(3) == 0) {
            add_field(4, {genres[below(15)], genres[below(15)]});
        } else {
            add_field(4, {genres[below(15)]});
        }
        add_field(5, {std::to_string(i % 11 + 1)});
        add_field(6, {"11"});
        add_field(7, {"1"});
        add_field(8, {artist_name});
        add_field(9, {"Composer " + std::to_string(below(composers))});
        if (below(4) == 0) {
            add_field(10, {"Player " + std::to_string(below(artists)),
                           "Player " + std::to_string(below(artists))});
        } else {
            add_field(10, {"Player " + std::to_string(below(artists))});
        }
        add_field(11, {below(2) ? "Ripped from CD" : ""});
        add_field(12, {"Label " + std::to_string(below(200))});
        t.meta_fields = 13;
        const bool lossless = below(2) == 0;
        add_field(13, {lossless ? "FLAC" : "MP3"});
        add_field(14, {std::to_string(lossless ? 700 + below(500) : 128 + 32 * below(7))});
        add_field(15, {below(4) ? "44100" : "48000"});
        add_field(16, {"2"});
        add_field(17, {lossless ? "16" : "0"});
        add_field(18, {lossless ? "lossless" : "lossy"});
        add_field(19, {tools[below(5)]});
        add_field(20, {lossless ? "" : "CBR"});
        std::snprintf(buffer, sizeof buffer, "%+.2f dB",
                      (static_cast<int>(below(2000)) - 1000) / 100.0);
        add_field(21, {buffer});
        std::snprintf(buffer, sizeof buffer, "%08x%08x%08x%08x", static_cast<unsigned>(rng()),
                      static_cast<unsigned>(rng()), static_cast<unsigned>(rng()),
                      static_cast<unsigned>(rng()));
        add_field(22, {buffer});
        m_tracks.push_back(std::move(track));
    }
    // The library lists its tracks in an order unrelated to allocation.
    for (std::uint32_t i = 0; i < count; ++i) {
        library_tracks.push_back(m_tracks[i].get());
    }
    std::shuffle(library_tracks.begin(), library_tracks.end(), rng);
    // Ten playlists over about a third of the library, overlapping, plus the
    // tracks that are in no library.
    playlists.resize(10);
    for (std::uint32_t i = 0; i < count / 3; ++i) {
        playlists[below(10)].push_back(m_tracks[below(count)].get());
    }
    for (std::uint32_t i = count; i < total; ++i) {
        playlists[below(10)].push_back(m_tracks[i].get());
    }
}

synthetic_host::~synthetic_host() {
    for (char* s : m_strings) {
        std::free(s);
    }
}

service_class_ref synthetic_host::lookup_class(const GUID& class_guid) {
    service_base* service = nullptr;
    if (class_guid == guids::media_library) {
        service = m_library.get();
    } else if (class_guid == guids::playlist_service) {
        service = m_playlists.get();
    } else if (class_guid == guids::metadata_cache) {
        service = m_cache.get();
    }
    return reinterpret_cast<service_class_ref>(service);
}

bool synthetic_host::create_instance(service_base** out, service_class_ref cls, std::uint32_t) {
    if (cls == nullptr) {
        return false;
    }
    *out = reinterpret_cast<service_base*>(cls);
    return true;
}

std::uint32_t synthetic_host::count_instances(service_class_ref cls) {
    return cls == nullptr ? 0 : 1;
}

} // namespace bench
