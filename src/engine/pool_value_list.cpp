#include "engine/pool_value_list.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/address_walk.h"
#include "engine/engine_tuning.h"
#include "engine/text_order.h"
#include "engine/value_table.h"

namespace {

class value_collector final : public address_walk_sink {
public:
    explicit value_collector(std::uint32_t pools)
        : m_pools(pools), m_values(current_engine_tuning().table_segment_bits) {}

    void on_strings(const walked_string* strings, std::uint32_t count) override {
        // Measured first (each text read once, in address order), then
        // entered in one run.
        m_pending.resize(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            prefetch_text_ahead(strings, i, count);
            const walked_string& s = strings[i];
            std::uint32_t merged = 0;
            for (std::uint32_t p = 0; p < m_pools; ++p) {
                merged += s.counts[p]; // an object of several pools adds their counts plainly
            }
            const char* text = reinterpret_cast<const char*>(s.address);
            const auto length = static_cast<std::uint32_t>(std::strlen(text));
            m_pending[i] = pending_value{text, length, merged, text_key(text, length)};
        }
        m_values.add_each(m_pending.data(), count);
    }

    counted_value_table& values() noexcept { return m_values; }

private:
    std::uint32_t m_pools;
    counted_value_table m_values;
    std::vector<pending_value> m_pending;
};

// Sorted pieces of the values, each in its own block, merged by a heap of
// their heads.
using piece = std::vector<text_sort_record>;

void merge_pieces(std::vector<piece>& pieces, string_info_list2& out) {
    std::uint64_t total = 0;
    for (const piece& p : pieces) {
        total += p.size();
    }
    out.set_count(static_cast<std::uint32_t>(total));
    string_info2* target = out.data();
    struct head {
        std::uint32_t piece;
        std::uint32_t position;
    };
    std::vector<head> heads;
    for (std::uint32_t p = 0; p < pieces.size(); ++p) {
        if (!pieces[p].empty()) {
            heads.push_back(head{p, 0});
        }
    }
    // A min-heap on the heads' texts (the values are distinct).
    const auto later = [&](const head& a, const head& b) {
        return compare_texts(pieces[a.piece][a.position], pieces[b.piece][b.position]) > 0;
    };
    std::make_heap(heads.begin(), heads.end(), later);
    std::uint32_t k = 0;
    while (!heads.empty()) {
        std::pop_heap(heads.begin(), heads.end(), later);
        head& h = heads.back();
        const text_sort_record& r = pieces[h.piece][h.position];
        target[k++] = string_info2{r.text, r.length, r.count, r.aux};
        if (++h.position < pieces[h.piece].size()) {
            std::push_heap(heads.begin(), heads.end(), later);
        } else {
            piece().swap(pieces[h.piece]);
            heads.pop_back();
        }
    }
}

} // namespace

void collect_pool_values(address_runs* const* pools, std::uint32_t count, string_info_list2& out) {
    out.remove_all();
    value_collector collector(count);
    walk_addresses(pools, count, collector);
    counted_value_table& values = collector.values();

    const std::uint32_t piece_limit =
        std::max<std::uint32_t>(current_engine_tuning().sort_piece_entries, 1);
    std::vector<piece> pieces;
    pieces.reserve(values.size() / piece_limit + 1);
    pieces.emplace_back();
    std::uint32_t left = values.size();
    values.for_each([&](const counted_value_entry& e) {
        if (pieces.back().size() == piece_limit) {
            pieces.emplace_back();
        }
        if (pieces.back().empty()) {
            pieces.back().reserve(std::min(piece_limit, left));
        }
        --left;
        // The key comes from the bytes the table keeps, not from the host's
        // text (which lies anywhere in memory).
        text_sort_record r = make_text_sort_record(e.head, e.length, e.logical);
        static_assert(value_head_bytes >= 8, "a key is the first eight bytes");
        r.text = e.text;
        r.aux = e.physical;
        pieces.back().push_back(r);
    });
    values.clear();
    for (piece& p : pieces) {
        sort_texts(p.data(), static_cast<std::uint32_t>(p.size()));
        if (pieces.size() == 1) {
            break; // one piece needs no merging, and so no keys
        }
        // The sort leaves value marks in the keys: the keys are read again.
        for (text_sort_record& r : p) {
            r.key = make_text_sort_record(r.text, r.length, 0).key;
        }
    }
    try {
        merge_pieces(pieces, out);
    } catch (...) {
        out.remove_all();
        throw;
    }
}
