#include "refhost/sample_library.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

namespace refhost {

namespace {

// splitmix64: the same sequence on every compiler and platform.
class random_source {
public:
    explicit random_source(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform enough for test data: 0 .. n - 1 (n > 0).
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
    bool chance(std::uint32_t percent) { return below(100) < percent; }
    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) {
        return items[below(static_cast<std::uint32_t>(N))];
    }

private:
    std::uint64_t m_state;
};

const char* const first_names[] = {"Anna",  "Björn",   "Clara",  "Dmitri", "Élodie", "Farid",
                                   "Greta", "Hiroshi", "Inès",   "Jonas",  "Kaito",  "Léa",
                                   "Mateo", "Nadia",   "Oskar",  "Priya",  "Rafael", "Sofía",
                                   "Tomás", "Ulrike",  "Viktor", "Yuki",   "Zoë",    "Mirela"};
const char* const last_names[] = {"Andersen", "Brennan",   "Castellano", "Dubois",   "Eriksson",
                                  "Fischer",  "Grünwald",  "Hoffmann",   "Ivanova",  "Jansen",
                                  "Kowalski", "Lindqvist", "Moreau",     "Nakamura", "Okafor",
                                  "Petrov",   "Quintero",  "Roßbach",    "Sørensen", "Tanaka",
                                  "Urbano",   "Vasquez",   "Weiß",       "Yamamoto"};
const char* const band_adjectives[] = {"Silent",  "Electric", "Northern", "Velvet",   "Paper",
                                       "Crimson", "Hollow",   "Golden",   "Midnight", "Wandering"};
const char* const band_nouns[] = {"Harbours", "Lanterns", "Engines",  "Foxes", "Satellites",
                                  "Rivers",   "Machines", "Orchards", "Tides", "Echoes"};
const char* const special_artists[] = {"Ансамбль Северный Ветер",
                                       "Мария Соколова",
                                       "夜明けのバンド",
                                       "山田 花子",
                                       "Café Übersee",
                                       "Straßenmusik Kollektiv",
                                       "Les Frères Ébène",
                                       "Jürgen Müßig & Die Flöten"};
const char* const album_words[] = {"Blue",  "Hours",  "Distant",  "Signals", "Paper",  "Moons",
                                   "Quiet", "Storms", "Open",     "Roads",   "Glass",  "Houses",
                                   "Slow",  "Fires",  "Northern", "Lights",  "Second", "Nature"};
const char* const special_albums[] = {"Чёрное море",  "東京の夜",       "Grüße aus Köln",
                                      "Été indien",   "Noches de Café", "Weiße Nächte",
                                      "日本語のうた", "Песни о главном"};
const char* const title_words[] = {
    "Morning", "Light",  "River",  "Song", "Dance", "Shadow", "Heart", "Road",  "Rain", "Fire",
    "Dream",   "Winter", "Summer", "Echo", "Home",  "Night",  "Ocean", "Stone", "Gold", "Glass"};
const char* const special_titles[] = {"Über den Wolken", "Déjà vu",       "Straße nach Süden",
                                      "夜の散歩",        "さくら",        "Зимняя ночь",
                                      "Дорога домой",    "Café au lait",  "Müde Augen",
                                      "Ça ira",          "Fußgängerzone", "Кино"};
const char* const genres[] = {"Rock",      "Pop",     "Jazz",    "Electronic", "Folk",
                              "Classical", "Hip-Hop", "Ambient", "Metal",      "Soul",
                              "Indie",     "Chanson", "J-Pop",   "Фолк"};
const char* const comments[] = {"Remastered",         "Live recording",
                                "Bonus track",        "Ripped from vinyl",
                                "Enregistré à Paris", "Gekauft auf dem Flohmarkt",
                                "Vinyl rip — 24/96",  "ライブ録音"};

enum class codec_kind { flac, mp3, aac, vorbis, opus };

struct album_plan {
    std::string artist; // album artist
    std::string title;
    std::string year;
    std::vector<std::string> genres;
    codec_kind codec = codec_kind::flac;
    std::uint32_t tracks = 0;
    bool compilation = false;
    bool hires = false;
    bool mp3_vbr = false;
};

std::string two_digits(std::uint32_t n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02u", n);
    return buffer;
}

std::string make_artist(random_source& r) {
    const std::uint32_t kind = r.below(10);
    if (kind < 5) {
        return std::string(r.pick(first_names)) + " " + r.pick(last_names);
    }
    if (kind < 8) {
        return std::string("The ") + r.pick(band_adjectives) + " " + r.pick(band_nouns);
    }
    return r.pick(special_artists);
}

std::string make_album(random_source& r) {
    if (r.chance(15)) {
        return r.pick(special_albums);
    }
    std::string title = std::string(r.pick(album_words)) + " " + r.pick(album_words);
    if (r.chance(20)) {
        title += " (Deluxe Edition)";
    }
    return title;
}

std::string make_title(random_source& r) {
    if (r.chance(12)) {
        return r.pick(special_titles);
    }
    const std::uint32_t words = 1 + r.below(4);
    std::string title;
    for (std::uint32_t i = 0; i < words; ++i) {
        if (i != 0) {
            title += ' ';
        }
        title += r.pick(title_words);
    }
    return title;
}

const char* extension(codec_kind c) {
    switch (c) {
    case codec_kind::flac:
        return "flac";
    case codec_kind::mp3:
        return "mp3";
    case codec_kind::aac:
        return "m4a";
    case codec_kind::vorbis:
        return "ogg";
    case codec_kind::opus:
        return "opus";
    }
    return "bin";
}

// Path text: no characters Windows forbids in file names.
std::string path_safe(std::string text) {
    for (char& c : text) {
        if (c == '/' || c == '\\' || c == ':' || c == '?' || c == '*' || c == '"' || c == '<' ||
            c == '>' || c == '|') {
            c = '_';
        }
    }
    return text;
}

void add_info(packed_library& t, const album_plan& album, random_source& r) {
    const std::uint32_t seconds = 95 + r.below(420);
    const std::uint32_t millis = r.below(1000);
    const char* codec_name = "FLAC";
    std::string bitrate;
    std::string samplerate = album.hires ? "96000" : "44100";
    switch (album.codec) {
    case codec_kind::flac:
        bitrate = std::to_string(album.hires ? 2400 + r.below(900) : 700 + r.below(400));
        break;
    case codec_kind::mp3:
        codec_name = "MP3";
        bitrate = album.mp3_vbr ? std::to_string(190 + r.below(70)) : "320";
        break;
    case codec_kind::aac:
        codec_name = "AAC";
        bitrate = "256";
        break;
    case codec_kind::vorbis:
        codec_name = "Vorbis";
        bitrate = std::to_string(160 + r.below(60));
        break;
    case codec_kind::opus:
        codec_name = "Opus";
        bitrate = "128";
        samplerate = "48000";
        break;
    }
    t.add_info("codec", codec_name);
    t.add_info("bitrate", bitrate);
    t.add_info("samplerate", samplerate);
    t.add_info("channels", r.chance(2) ? "1" : "2");
    if (album.codec == codec_kind::flac) {
        t.add_info("bitspersample", album.hires ? "24" : "16");
        t.add_info("encoding", "lossless");
    } else {
        t.add_info("encoding", "lossy");
    }
    if (album.codec == codec_kind::mp3) {
        t.add_info("codec_profile", album.mp3_vbr ? "VBR V0" : "CBR");
        t.add_info("tool", "LAME3.100");
    }
    char duration[32];
    std::snprintf(duration, sizeof duration, "%u.%03u000", seconds, millis);
    t.add_info("duration", duration);
    if (r.chance(30)) {
        char gain[32];
        std::snprintf(gain, sizeof gain, "-%u.%02u dB", 3 + r.below(8), r.below(100));
        t.add_info("replaygain_track_gain", gain);
    }
}

// Begins a track in t with the album's fields and answers its title; the
// caller gives it its path.
std::string make_track(packed_library& t, bool in_library, const album_plan& album,
                       std::uint32_t number, random_source& r,
                       const std::vector<std::string>& artists) {
    t.begin_track(in_library);
    std::string title = make_title(r);
    std::string artist = album.compilation
                             ? artists[r.below(static_cast<std::uint32_t>(artists.size()))]
                             : album.artist;
    t.add_meta_value("artist", artist);
    if (r.chance(7)) {
        t.add_meta_value("artist", artists[r.below(static_cast<std::uint32_t>(artists.size()))]);
    }
    t.add_meta_value("title", title);
    t.add_meta_value("album", album.title);
    if (album.compilation || r.chance(25)) {
        t.add_meta_value("album artist", album.artist);
    }
    t.add_meta_value("tracknumber", two_digits(number));
    t.add_meta_value("totaltracks", two_digits(album.tracks));
    t.add_meta_value("date", album.year);
    for (const std::string& g : album.genres) {
        t.add_meta_value("genre", g);
    }
    if (r.chance(10)) {
        t.add_meta_value("comment", r.pick(comments));
    }
    if (album.genres.front() == "Classical" || r.chance(5)) {
        t.add_meta_value("composer", std::string(r.pick(first_names)) + " " + r.pick(last_names));
    }
    if (r.chance(8)) {
        t.add_meta_value("discnumber", "1");
    }
    if (r.chance(3)) {
        t.add_meta_field("lyrics"); // a field without a value
    }
    add_info(t, album, r);
    return title;
}

std::string library_path(const album_plan& album, std::uint32_t number, const std::string& title) {
    return "D:\\Music\\" + path_safe(album.artist) + "\\" + album.year + " - " +
           path_safe(album.title) + "\\" + two_digits(number) + " - " + path_safe(title) + "." +
           extension(album.codec);
}

album_plan plan_album(random_source& r, const std::vector<std::string>& artists) {
    album_plan a;
    a.compilation = r.chance(6);
    a.artist = a.compilation ? "Various Artists"
                             : artists[r.below(static_cast<std::uint32_t>(artists.size()))];
    a.title = make_album(r);
    a.year = std::to_string(1965 + r.below(59));
    a.genres.push_back(r.pick(genres));
    if (r.chance(15)) {
        std::string second = r.pick(genres);
        if (second != a.genres.front()) {
            a.genres.push_back(second);
        }
    }
    const std::uint32_t c = r.below(100);
    a.codec = c < 40   ? codec_kind::flac
              : c < 75 ? codec_kind::mp3
              : c < 90 ? codec_kind::aac
              : c < 95 ? codec_kind::vorbis
                       : codec_kind::opus;
    a.hires = a.codec == codec_kind::flac && r.chance(20);
    a.mp3_vbr = r.chance(50);
    a.tracks = 6 + r.below(10);
    return a;
}

// A few tracks that only the playlists (or nothing) refer to.
std::vector<std::uint32_t> add_outside_tracks(packed_library& data, random_source& r,
                                              const std::vector<std::string>& artists) {
    std::vector<std::uint32_t> playlist_only;
    album_plan loose = plan_album(r, artists);
    loose.title = "Singles";
    for (std::uint32_t i = 1; i <= 6; ++i) {
        const std::string title = make_track(data, false, loose, i, r, artists);
        data.set_path("E:\\Downloads\\" + two_digits(i) + " - " + path_safe(title) + "." +
                      extension(loose.codec));
        playlist_only.push_back(data.track_count() - 1);
    }
    playlist_only.push_back(data.begin_track(false));
    data.set_path("http://radio.example.net/stream-192");
    data.set_cached(false); // never played: nothing cached yet
    for (std::uint32_t i = 1; i <= 3; ++i) {
        make_track(data, false, loose, 6 + i, r, artists);
        data.set_path("E:\\Unsorted\\cache-only-" + two_digits(i) + "." + extension(loose.codec));
    }
    data.end_track();
    return playlist_only;
}

std::vector<playlist_entry> random_entries(random_source& r, const std::vector<std::uint32_t>& from,
                                           std::uint32_t count) {
    std::vector<playlist_entry> entries;
    if (from.empty()) {
        return entries;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        entries.push_back(
            playlist_entry{from[r.below(static_cast<std::uint32_t>(from.size()))], r.chance(5)});
    }
    return entries;
}

void add_playlists(packed_library& data, random_source& r,
                   const std::vector<std::uint32_t>& playlist_only) {
    const std::vector<std::uint32_t>& library = data.library;
    const auto n = static_cast<std::uint32_t>(library.size());

    playlist_data favourites{"Favourites", random_entries(r, library, n / 25 + 3)};
    playlist_data road_trip{"Road Trip", random_entries(r, library, n / 40 + 2)};
    // Half of the road trip comes from the favourites.
    for (std::size_t i = 0; i < favourites.entries.size(); i += 2) {
        road_trip.entries.push_back(favourites.entries[i]);
    }
    playlist_data recent{"Recently Added", {}};
    const std::uint32_t recent_count = std::min<std::uint32_t>(n, n / 50 + 5);
    for (std::uint32_t i = n - recent_count; i < n; ++i) {
        recent.entries.push_back(playlist_entry{library[i], false});
    }
    playlist_data party{"Party Mix", random_entries(r, library, n / 60 + 2)};
    if (!party.entries.empty()) {
        party.entries.push_back(party.entries.front()); // the same track twice
    }
    if (!library.empty()) {
        // One track that stands in three playlists.
        const playlist_entry shared{library[n / 2], true};
        favourites.entries.push_back(shared);
        road_trip.entries.push_back(shared);
        party.entries.push_back(shared);
    }
    playlist_data imports{"Imports — 日本語 & Ünïcödé", {}};
    for (std::uint32_t t : playlist_only) {
        imports.entries.push_back(playlist_entry{t, false});
    }
    for (std::uint32_t i = 0; i < 4 && i < n; ++i) {
        imports.entries.push_back(playlist_entry{library[r.below(n)], false});
    }
    data.playlists.push_back(std::move(favourites));
    data.playlists.push_back(std::move(road_trip));
    data.playlists.push_back(std::move(recent));
    data.playlists.push_back(std::move(party));
    data.playlists.push_back(std::move(imports));
    data.playlists.push_back(playlist_data{"Empty", {}});
}

// Paths must identify tracks: make repeated ones (same album and title
// generated twice) distinct.
void make_paths_distinct(packed_library& data) {
    std::vector<std::uint32_t> order(data.track_count());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const std::string_view pa = data.path(a);
        const std::string_view pb = data.path(b);
        return pa != pb ? pa < pb : a < b;
    });
    // Each path is compared with its predecessor as it stands by then (the
    // predecessor may have been renamed already).
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (data.path(order[i]) == data.path(order[i - 1])) {
            std::string path(data.path(order[i]));
            path.insert(path.rfind('.'), " (" + std::to_string(order[i]) + ")");
            data.rename_path(order[i], path);
        }
    }
}

} // namespace

packed_library generate_packed_library(std::uint32_t track_count, std::uint64_t seed) {
    random_source r(seed);
    packed_library data;
    std::vector<std::string> artists;
    const std::uint32_t artist_count = std::max<std::uint32_t>(4, track_count / 30);
    for (std::uint32_t i = 0; i < artist_count; ++i) {
        artists.push_back(make_artist(r));
    }
    for (const char* special : special_artists) {
        artists.push_back(special); // every special name appears somewhere
    }
    data.library.reserve(track_count);
    std::uint32_t made = 0;
    while (made < track_count) {
        album_plan album = plan_album(r, artists);
        album.tracks = std::min(album.tracks, track_count - made);
        for (std::uint32_t number = 1; number <= album.tracks; ++number) {
            const std::string title = make_track(data, true, album, number, r, artists);
            data.set_path(library_path(album, number, title));
        }
        made += album.tracks;
    }
    data.end_track();
    make_paths_distinct(data);
    const std::vector<std::uint32_t> playlist_only = add_outside_tracks(data, r, artists);
    add_playlists(data, r, playlist_only);
    return data;
}

library_data generate_library(std::uint32_t track_count, std::uint64_t seed) {
    return unpack_library(generate_packed_library(track_count, seed));
}

} // namespace refhost
