#include "refhost/sample_library.h"

#include <algorithm>
#include <cstdio>
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

void add_info(track_data& t, const album_plan& album, random_source& r) {
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
    t.info.push_back({"codec", codec_name});
    t.info.push_back({"bitrate", bitrate});
    t.info.push_back({"samplerate", samplerate});
    t.info.push_back({"channels", r.chance(2) ? "1" : "2"});
    if (album.codec == codec_kind::flac) {
        t.info.push_back({"bitspersample", album.hires ? "24" : "16"});
        t.info.push_back({"encoding", "lossless"});
    } else {
        t.info.push_back({"encoding", "lossy"});
    }
    if (album.codec == codec_kind::mp3) {
        t.info.push_back({"codec_profile", album.mp3_vbr ? "VBR V0" : "CBR"});
        t.info.push_back({"tool", "LAME3.100"});
    }
    char duration[32];
    std::snprintf(duration, sizeof duration, "%u.%03u000", seconds, millis);
    t.info.push_back({"duration", duration});
    if (r.chance(30)) {
        char gain[32];
        std::snprintf(gain, sizeof gain, "-%u.%02u dB", 3 + r.below(8), r.below(100));
        t.info.push_back({"replaygain_track_gain", gain});
    }
}

track_data make_track(const album_plan& album, std::uint32_t number, random_source& r,
                      const std::vector<std::string>& artists) {
    track_data t;
    const std::string title = make_title(r);
    std::string artist = album.compilation
                             ? artists[r.below(static_cast<std::uint32_t>(artists.size()))]
                             : album.artist;
    add_meta_value(t, "artist", artist);
    if (r.chance(7)) {
        add_meta_value(t, "artist", artists[r.below(static_cast<std::uint32_t>(artists.size()))]);
    }
    add_meta_value(t, "title", title);
    add_meta_value(t, "album", album.title);
    if (album.compilation || r.chance(25)) {
        add_meta_value(t, "album artist", album.artist);
    }
    add_meta_value(t, "tracknumber", two_digits(number));
    add_meta_value(t, "totaltracks", two_digits(album.tracks));
    add_meta_value(t, "date", album.year);
    for (const std::string& g : album.genres) {
        add_meta_value(t, "genre", g);
    }
    if (r.chance(10)) {
        add_meta_value(t, "comment", r.pick(comments));
    }
    if (album.genres.front() == "Classical" || r.chance(5)) {
        add_meta_value(t, "composer", std::string(r.pick(first_names)) + " " + r.pick(last_names));
    }
    if (r.chance(8)) {
        add_meta_value(t, "discnumber", "1");
    }
    if (r.chance(3)) {
        t.meta.push_back(meta_field_data{"lyrics", {}}); // a field without a value
    }
    add_info(t, album, r);
    t.path = "D:\\Music\\" + path_safe(album.artist) + "\\" + album.year + " - " +
             path_safe(album.title) + "\\" + two_digits(number) + " - " + path_safe(title) + "." +
             extension(album.codec);
    return t;
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
std::vector<std::uint32_t> add_outside_tracks(library_data& data, random_source& r,
                                              const std::vector<std::string>& artists) {
    std::vector<std::uint32_t> playlist_only;
    album_plan loose = plan_album(r, artists);
    loose.title = "Singles";
    for (std::uint32_t i = 1; i <= 6; ++i) {
        track_data t = make_track(loose, i, r, artists);
        t.path = "E:\\Downloads\\" + two_digits(i) + " - " + path_safe(t.meta[1].values[0]) + "." +
                 extension(loose.codec);
        playlist_only.push_back(data.add_track(std::move(t), false));
    }
    track_data stream;
    stream.path = "http://radio.example.net/stream-192";
    stream.cached = false; // never played: nothing cached yet
    playlist_only.push_back(data.add_track(std::move(stream), false));
    for (std::uint32_t i = 1; i <= 3; ++i) {
        track_data t = make_track(loose, 6 + i, r, artists);
        t.path = "E:\\Unsorted\\cache-only-" + two_digits(i) + "." + extension(loose.codec);
        data.add_track(std::move(t), false);
    }
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

void add_playlists(library_data& data, random_source& r,
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

} // namespace

library_data generate_library(std::uint32_t track_count, std::uint64_t seed) {
    random_source r(seed);
    library_data data;
    std::vector<std::string> artists;
    const std::uint32_t artist_count = std::max<std::uint32_t>(4, track_count / 30);
    for (std::uint32_t i = 0; i < artist_count; ++i) {
        artists.push_back(make_artist(r));
    }
    for (const char* special : special_artists) {
        artists.push_back(special); // every special name appears somewhere
    }
    data.tracks.reserve(track_count + 10);
    std::uint32_t made = 0;
    while (made < track_count) {
        album_plan album = plan_album(r, artists);
        album.tracks = std::min(album.tracks, track_count - made);
        for (std::uint32_t number = 1; number <= album.tracks; ++number) {
            data.add_track(make_track(album, number, r, artists), true);
        }
        made += album.tracks;
    }
    // Paths must identify tracks: make repeated ones (same album and title
    // generated twice) distinct.
    std::vector<std::uint32_t> order(data.tracks.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return data.tracks[a].path != data.tracks[b].path
                   ? data.tracks[a].path < data.tracks[b].path
                   : a < b;
    });
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (data.tracks[order[i]].path == data.tracks[order[i - 1]].path) {
            std::string& path = data.tracks[order[i]].path;
            path.insert(path.rfind('.'), " (" + std::to_string(order[i]) + ")");
        }
    }
    const std::vector<std::uint32_t> playlist_only = add_outside_tracks(data, r, artists);
    add_playlists(data, r, playlist_only);
    return data;
}

} // namespace refhost
