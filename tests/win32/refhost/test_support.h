// Helpers shared by the reference host's tests.
#pragma once

#include <windows.h>

#include <string>

#include "refhost/library_data.h"

namespace refhost_test {

// The folder of the test executable (bin/), with a trailing backslash.
std::wstring executable_folder();

// A private folder for one test's files under the system's temp folder.
std::wstring scratch_folder(const wchar_t* name);

// Tracks "A", "B", "C" in the library (in that order), "D" only in playlists,
// "E" in neither; playlists "P0" = A D B, "P1" = D A(selected), "P2" empty.
// A and B share the text values "Rock" (stored per track), A has a second
// artist, and D's info field "codec" has the same name as a meta field of E.
refhost::library_data small_library();

// Everything of a library as one text (tracks with their flags, fields and
// values, the library order, the playlists), each piece prefixed with its
// length so that different data never gives the same text.
std::string library_fingerprint(const refhost::library_data& data);

enum small_track : std::uint32_t { track_a, track_b, track_c, track_d, track_e };

} // namespace refhost_test
