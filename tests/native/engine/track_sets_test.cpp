#include <gtest/gtest.h>

#include "engine/track_sets.h"
#include "fake_host.h"

using namespace engine_fakes;

namespace {

class TrackSets : public ::testing::Test {
protected:
    fake_track& track() { return host.new_track(); }
    std::vector<const metadb_handle*> build(track_set set) {
        metadb_handle_list_t list;
        build_track_set(set, list);
        EXPECT_EQ(host.library.references, 0) << "services are released at once";
        EXPECT_EQ(host.playlists.references, 0);
        std::vector<const metadb_handle*> handles;
        for (const auto& h : list) {
            handles.push_back(h.get());
        }
        return handles;
    }

    fake_host host;
    installed_host installed{host};
};

using handles = std::vector<const metadb_handle*>;

TEST_F(TrackSets, LibraryKeepsItsOrderAndRepeats) {
    fake_track& a = track();
    fake_track& b = track();
    host.library.tracks = {&b, &a, &b};
    EXPECT_EQ(build(track_set_library), (handles{&b, &a, &b}));
    EXPECT_TRUE(host.references_balanced());
}

TEST_F(TrackSets, PlaylistsListEachTrackOnceInPlaylistOrder) {
    fake_track& x = track();
    fake_track& y = track();
    fake_track& z = track();
    fake_track& w = track();
    host.playlists.playlists = {{&x, &y, &x}, {&z, &x}, {&w, &y, &x}};
    EXPECT_EQ(build(track_set_playlists), (handles{&x, &y, &z, &w}));
    EXPECT_EQ(host.count_of(host_call::enumerate_tracks), 3u);
    EXPECT_TRUE(host.references_balanced());
}

TEST_F(TrackSets, CombinedIsLibraryThenPlaylistsEachOnce) {
    fake_track& a = track();
    fake_track& b = track();
    fake_track& c = track();
    host.library.tracks = {&a, &b, &a};
    host.playlists.playlists = {{&c, &b}, {&a}};
    EXPECT_EQ(build(track_set_library), (handles{&a, &b, &a}));
    EXPECT_EQ(build(track_set_combined), (handles{&a, &b, &c}));
    EXPECT_TRUE(host.references_balanced());
}

TEST_F(TrackSets, NoPlaylistsGivesAnEmptySet) {
    fake_track& a = track();
    host.library.tracks = {&a, &a};
    host.playlists.playlists = {{&a}};
    host.playlists.report_no_playlists = true;
    EXPECT_TRUE(build(track_set_playlists).empty());
    EXPECT_EQ(build(track_set_combined), (handles{&a}));
    EXPECT_EQ(host.count_of(host_call::enumerate_tracks), 0u);
    host.playlists.report_no_playlists = false;
    host.playlists.playlists.clear();
    host.library.tracks.clear();
    for (track_set set : {track_set_library, track_set_playlists, track_set_combined}) {
        EXPECT_TRUE(build(set).empty());
    }
}

TEST_F(TrackSets, OtherCodesGiveAnEmptyListWithoutAskingTheHost) {
    fake_track& a = track();
    metadb_handle_list_t list;
    list.push_item(metadb_handle_ptr(&a));
    for (track_set set : {0u, 4u, 0xFFFFFFFFu}) {
        build_track_set(set, list);
        EXPECT_EQ(list.get_count(), 0u);
    }
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(host.references_balanced());
}

TEST_F(TrackSets, RemovingRepeatsKeepsFirstsInOrderAndLeavesOtherListsAlone) {
    fake_track& x = track();
    fake_track& y = track();
    fake_track& z = track();
    metadb_handle_list_t list;
    for (fake_track* t : {&x, &y, &x, &z}) {
        list.push_item(metadb_handle_ptr(t));
    }
    remove_duplicate_tracks(list);
    ASSERT_EQ(list.get_count(), 3u);
    EXPECT_EQ(list[0].get(), &x);
    EXPECT_EQ(list[1].get(), &y);
    EXPECT_EQ(list[2].get(), &z);
    EXPECT_EQ(x.references, 1);

    // No repeat: the list is not rewritten.
    const auto* storage = list.data();
    const std::uint32_t capacity = list.capacity();
    remove_duplicate_tracks(list);
    EXPECT_EQ(list.data(), storage);
    EXPECT_EQ(list.capacity(), capacity);
    list.remove_all();
    EXPECT_TRUE(host.references_balanced());
}

TEST_F(TrackSets, MissingOrDuplicatedServicesRaiseTheLookupErrors) {
    metadb_handle_list_t list;
    host.remove_instances(guids::media_library);
    EXPECT_THROW(build_track_set(track_set_library, list), exception_service_not_found);
    host.add_instance(guids::playlist_service, &host.playlists);
    EXPECT_THROW(build_track_set(track_set_playlists, list), exception_service_duplicated);
    EXPECT_TRUE(host.references_balanced());
}

// An error in the list that all_tracks fills (component code the host calls
// back) never leaves it into the host: it reaches the caller once the host
// has returned.
TEST_F(TrackSets, ErrorsInTheLibraryListWaitUntilTheHostHasReturned) {
    fake_track& a = track();
    fake_track& b = track();
    host.library.tracks = {&a, &b};
    host.library.claimed_tracks = 0xFFFFFFFFu; // more than a list can hold
    for (track_set set : {track_set_library, track_set_combined}) {
        metadb_handle_list_t list;
        EXPECT_THROW(build_track_set(set, list), std::bad_alloc) << set;
        EXPECT_EQ(host.escaped_callbacks, 0) << set;
        EXPECT_EQ(host.library.references, 0) << set;
    }
    host.library.claimed_tracks = 0;
    EXPECT_EQ(build(track_set_library), (handles{&a, &b}));
    EXPECT_EQ(host.escaped_callbacks, 0);
    EXPECT_TRUE(host.references_balanced());
}

// The host fails at each of its calls in turn: the error comes out and every
// reference taken so far is given back.
TEST_F(TrackSets, AHostFailureAtAnyCallReleasesEverything) {
    fake_track& a = track();
    fake_track& b = track();
    host.library.tracks = {&a, &b};
    host.playlists.playlists = {{&b}, {&a, &b}};
    build(track_set_combined);
    const std::int64_t calls = host.entered;
    ASSERT_EQ(calls, 10)
        << "two lookups of three calls, all_tracks, playlist_count, two enumerations";
    for (std::int64_t k = 0; k < calls; ++k) {
        host.entered = 0;
        host.throw_at = k;
        {
            metadb_handle_list_t list;
            EXPECT_THROW(build_track_set(track_set_combined, list), host_failure) << k;
            EXPECT_EQ(host.library.references + host.playlists.references, 0) << k;
        }
        EXPECT_TRUE(host.references_balanced()) << k;
    }
}

} // namespace
