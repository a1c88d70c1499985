// Deterministic synthetic libraries: tag and technical-information fields as a
// tagged music collection carries them (multi-valued artists and genres,
// non-ASCII names, several codecs), and a handful of playlists that overlap
// with each other and with the library.
#pragma once

#include <cstdint>

#include "refhost/library_data.h"
#include "refhost/packed_library.h"

namespace refhost {

inline constexpr std::uint32_t sample_track_count = 3000;
inline constexpr std::uint64_t default_sample_seed = 1;

// track_count library tracks (0 allowed) plus a few tracks outside the
// library: some in playlists only, some in neither (cache only), one without
// cached info. The same arguments always give the same data. Written straight
// into the packed form (a million tracks take a few hundred megabytes).
packed_library generate_packed_library(std::uint32_t track_count,
                                       std::uint64_t seed = default_sample_seed);
// The same library as records of strings (for small libraries and tests).
library_data generate_library(std::uint32_t track_count, std::uint64_t seed = default_sample_seed);

// The built-in sample library of the host.
inline library_data sample_library() {
    return generate_library(sample_track_count, default_sample_seed);
}

} // namespace refhost
