#include "engine/string_gathering.h"

#include <cstring>
#include <new>

#include "engine/track_walk.h"

void add_string(string_info_list& list, const char* text) {
    if (text == nullptr) {
        return;
    }
    const auto key = reinterpret_cast<std::uintptr_t>(text);
    // Binary search for the address: found, or the insertion position.
    std::uint32_t lo = 0;
    std::uint32_t hi = list.get_count();
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const auto address = reinterpret_cast<std::uintptr_t>(list[mid].text);
        if (address < key) {
            lo = mid + 1;
        } else if (address > key) {
            hi = mid;
        } else {
            std::uint32_t& count = list[mid].count;
            if (count != 0xFFFFFFFFu) {
                ++count;
            }
            return;
        }
    }
    list.insert_at(lo, string_info{text, static_cast<std::uint32_t>(std::strlen(text)), 1});
}

void merge_lists(string_info_list& out, const string_info_list& a, const string_info_list& b) {
    out.remove_all();
    const std::uint32_t na = a.get_count();
    const std::uint32_t nb = b.get_count();
    const std::uint64_t most = std::uint64_t{na} + nb;
    if (most > 0xFFFFFFFFu) {
        throw std::bad_alloc();
    }
    out.set_count(static_cast<std::uint32_t>(most));
    string_info* o = out.data();
    const string_info* pa = a.data();
    const string_info* pb = b.data();
    std::uint32_t i = 0;
    std::uint32_t j = 0;
    std::uint32_t k = 0;
    while (i < na && j < nb) {
        const auto address_a = reinterpret_cast<std::uintptr_t>(pa[i].text);
        const auto address_b = reinterpret_cast<std::uintptr_t>(pb[j].text);
        if (address_a == address_b) {
            o[k++] = string_info{pa[i].text, pa[i].length, pa[i].count + pb[j].count};
            ++i;
            ++j;
        } else if (address_a < address_b) {
            o[k++] = pa[i++];
        } else {
            o[k++] = pb[j++];
        }
    }
    while (i < na) {
        o[k++] = pa[i++];
    }
    while (j < nb) {
        o[k++] = pb[j++];
    }
    out.set_count(k);
}

void gather_pools(const metadb_handle_list_t& tracks, string_info_list& path,
                  string_info_list& meta_name, string_info_list& meta_value,
                  string_info_list& info_name, string_info_list& info_value) {
    pool_collectors collectors;
    walk_tracks(tracks, all_gathered_pools, collectors);
    collectors.path.add_to(path);
    collectors.meta_name.add_to(meta_name);
    collectors.meta_value.add_to(meta_value);
    collectors.info_name.add_to(info_name);
    collectors.info_value.add_to(info_value);
}

void build_all_pool(string_info_list& all, const string_info_list& path,
                    const string_info_list& meta_name, const string_info_list& meta_value,
                    const string_info_list& info_name, const string_info_list& info_value) {
    string_info_list meta;
    string_info_list info;
    merge_lists(meta, meta_name, meta_value);
    merge_lists(info, info_name, info_value);
    string_info_list fields;
    merge_lists(fields, meta, info);
    meta.remove_all();
    info.remove_all();
    merge_lists(all, fields, path);
}
