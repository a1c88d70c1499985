#include <gtest/gtest.h>

#include "engine/string_gathering.h"
#include "fake_host.h"
#include "literal_engine.h"

using namespace engine_fakes;

namespace {

struct entry {
    const char* text;
    std::uint32_t length;
    std::uint32_t count;
    bool operator==(const entry& o) const {
        return text == o.text && length == o.length && count == o.count;
    }
};

std::vector<entry> entries(const string_info_list& list) {
    std::vector<entry> result;
    for (const string_info& e : list) {
        result.push_back(entry{e.text, e.length, e.count});
    }
    return result;
}

void PrintTo(const entry& e, std::ostream* os) {
    *os << static_cast<const void*>(e.text) << '/' << e.length << '/' << e.count;
}

class Gathering : public ::testing::Test {
protected:
    Gathering() { host.cache.acquire_lock(); }
    ~Gathering() override { host.cache.release_lock(); }

    metadb_handle_list_t list_of(std::initializer_list<fake_track*> tracks) {
        metadb_handle_list_t list;
        for (fake_track* t : tracks) {
            list.push_item(metadb_handle_ptr(t));
        }
        return list;
    }
    void gather(const metadb_handle_list_t& tracks) {
        gather_pools(tracks, pools[0], pools[1], pools[2], pools[3], pools[4]);
    }

    fake_host host;
    installed_host installed{host};
    string_info_list pools[pool_kind_count];
};

TEST_F(Gathering, AddStringCountsObjectsByAddressInAddressOrder) {
    const char* first = host.texts.add("same");
    const char* second = host.texts.add("same");
    const char* third = host.texts.add("longer text");
    string_info_list list;
    for (const char* t : {third, first, second, first, static_cast<const char*>(nullptr)}) {
        add_string(list, t);
    }
    EXPECT_EQ(entries(list), (std::vector<entry>{{first, 4, 2}, {second, 4, 1}, {third, 11, 1}}));

    list[0].count = 0xFFFFFFFEu;
    add_string(list, first);
    add_string(list, first);
    EXPECT_EQ(list[0].count, 0xFFFFFFFFu) << "the count saturates";
}

TEST_F(Gathering, MergeIsAUnionByAddressWithPlainSums) {
    const char* a = host.texts.add("a");
    const char* b = host.texts.add("b");
    const char* c = host.texts.add("c");
    string_info_list x, y, out;
    x.push_item({a, 1, 2});
    x.push_item({c, 1, 0xFFFFFFFFu});
    y.push_item({b, 1, 1});
    y.push_item({c, 1, 1});
    merge_lists(out, x, y);
    EXPECT_EQ(entries(out), (std::vector<entry>{{a, 1, 2}, {b, 1, 1}, {c, 1, 0}}));
    string_info_list empty;
    merge_lists(out, empty, x);
    EXPECT_EQ(entries(out), entries(x));
    merge_lists(out, y, empty);
    EXPECT_EQ(entries(out), entries(y));
}

TEST_F(Gathering, EachTrackContributesPathNamesAndValues) {
    const char* artist = host.texts.add("artist");
    const char* codec = host.texts.add("codec");
    const char* p1 = host.texts.add("/music/one.flac");
    const char* p2 = host.texts.add("/music/two.flac");
    const char* v1 = host.texts.add("A");
    const char* v2 = host.texts.add("B");
    const char* v3 = host.texts.add("C");
    const char* flac = host.texts.add("FLAC");
    fake_track& full = host.new_track(p1, {{artist, {v1, v2, v3}}}, {{codec, flac}});
    fake_track& no_info = host.new_track(p2, {{artist, {v1}}}, {});
    no_info.has_info = false;
    fake_track& no_path = host.new_track(nullptr, {{artist, {}}}, {{codec, flac}});
    gather(list_of({&full, &no_info, &no_path, &full}));

    EXPECT_EQ(entries(pools[0]), (std::vector<entry>{{p1, 15, 2}, {p2, 15, 1}}));
    EXPECT_EQ(entries(pools[1]), (std::vector<entry>{{artist, 6, 3}}));
    EXPECT_EQ(entries(pools[2]), (std::vector<entry>{{v1, 1, 2}, {v2, 1, 2}, {v3, 1, 2}}));
    EXPECT_EQ(entries(pools[3]), (std::vector<entry>{{codec, 5, 3}}));
    EXPECT_EQ(entries(pools[4]), (std::vector<entry>{{flac, 4, 3}}));
    EXPECT_EQ(host.unlocked_reads, 0);
}

TEST_F(Gathering, EmptyTrackListsAndNullHandlesGiveNothing) {
    metadb_handle_list_t tracks;
    tracks.set_count(2); // two empty references
    gather(tracks);
    for (const auto& pool : pools) {
        EXPECT_EQ(pool.get_count(), 0u);
    }
    EXPECT_TRUE(host.calls.size() == 1u) << "only the lock was taken";
}

// Gathering onto lists that already hold entries is add_string per reference,
// saturation included.
TEST_F(Gathering, GatheringAddsToWhatTheListsHoldLikeAddString) {
    const char* name = host.texts.add("title");
    const char* value = host.texts.add("x");
    const char* other = host.texts.add("y");
    fake_track& t = host.new_track(nullptr, {{name, {value, other}}}, {});
    for (auto& pool : pools) {
        pool.push_item({value, 1, 0xFFFFFFFEu});
    }
    string_info_list expected[pool_kind_count];
    for (int i = 0; i < 5; ++i) {
        expected[i].push_item({value, 1, 0xFFFFFFFEu});
    }
    const auto tracks = list_of({&t, &t});
    literal::gather_pools(tracks, expected);
    gather(tracks);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(entries(pools[i]), entries(expected[i])) << i;
    }
    EXPECT_EQ(pools[2][0].count, 0xFFFFFFFFu);
}

} // namespace
