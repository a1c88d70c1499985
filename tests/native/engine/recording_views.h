// Views that record what the engine hands them, checking that they are
// called under the metadata-cache lock and copying every text they get.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/cache_statistics.h"
#include "engine/pool_values.h"
#include "fake_host.h"

// Figures compare and print as a whole (found by argument lookup).
inline bool operator==(const pool_summary& a, const pool_summary& b) {
    return a.logical_strings == b.logical_strings && a.physical_strings == b.physical_strings &&
           a.unique_strings == b.unique_strings && a.used_memory == b.used_memory &&
           a.required_memory == b.required_memory &&
           a.length_lower_quartile == b.length_lower_quartile &&
           a.length_median == b.length_median &&
           a.length_upper_quartile == b.length_upper_quartile &&
           a.length_maximum == b.length_maximum;
}

inline void PrintTo(const pool_summary& s, std::ostream* os) {
    *os << s.logical_strings << ' ' << s.physical_strings << ' ' << s.unique_strings << ' '
        << s.used_memory << ' ' << s.required_memory << ' ' << s.length_lower_quartile << ' '
        << s.length_median << ' ' << s.length_upper_quartile << ' ' << s.length_maximum;
}

namespace engine_fakes {

struct pool_row {
    std::string label;
    pool_summary summary;
    bool operator==(const pool_row& other) const {
        return label == other.label && summary == other.summary;
    }
};

// One distinct value as a page would copy it.
struct copied_value {
    std::string text;
    std::uint32_t length;
    std::uint32_t logical;
    std::uint32_t physical;
    bool operator==(const copied_value& other) const {
        return text == other.text && length == other.length && logical == other.logical &&
               physical == other.physical;
    }
};

inline std::vector<copied_value> copy_values(const string_info_list2& values) {
    std::vector<copied_value> copies;
    for (const string_info2& v : values) {
        copies.push_back(copied_value{v.text, v.length, v.logical_count, v.physical_count});
    }
    return copies;
}

// The statistics window's list view and progress bar.
class recording_statistics_view final : public cache_statistics_view {
public:
    explicit recording_statistics_view(fake_host& host) : m_host(host) {}

    void clear_rows() override {
        events.push_back("clear");
        rows.clear();
    }
    void insert_pool_row(std::uint32_t row, const char* label,
                         const pool_summary& summary) override {
        if (m_host.lock_depth == 0) {
            ++unlocked_calls;
        }
        if (fail_at_row == static_cast<int>(row)) {
            throw std::runtime_error("view failure");
        }
        events.push_back("row " + std::to_string(row));
        rows.insert(rows.begin() + row, pool_row{label, summary});
    }
    void progress_step() override { events.push_back("step"); }

    std::vector<std::string> events;
    std::vector<pool_row> rows;
    int unlocked_calls = 0;
    int fail_at_row = -1;

private:
    fake_host& m_host;
};

// The pool window with its two pages.
class recording_value_view final : public pool_value_view {
public:
    recording_value_view(fake_host& host, pool_kind kind) : m_host(host), m_kind(kind) {}

    pool_kind pool() const override { return m_kind; }
    bool length_page_exists() const override { return length_page; }
    void fill_length_page(const string_info_list2& values) override {
        record("length", values, length_values);
    }
    bool value_page_exists() const override { return value_page; }
    void fill_value_page(const string_info_list2& values) override {
        record("value", values, value_values);
    }
    void present_pages() override {
        if (m_host.lock_depth != 0) {
            ++locked_presents;
        }
        presents_after.push_back(events);
    }

    bool length_page = true;
    bool value_page = true;
    std::vector<std::string> events;
    std::vector<copied_value> length_values;
    std::vector<copied_value> value_values;
    int unlocked_calls = 0;
    // The fills seen by each present_pages call, and how many ran locked.
    std::vector<std::vector<std::string>> presents_after;
    int locked_presents = 0;

private:
    void record(const char* page, const string_info_list2& values,
                std::vector<copied_value>& copies) {
        if (m_host.lock_depth == 0) {
            ++unlocked_calls;
        }
        events.push_back(page);
        copies = copy_values(values);
    }

    fake_host& m_host;
    pool_kind m_kind;
};

inline void PrintTo(const pool_row& row, std::ostream* os) {
    *os << row.label << ": ";
    ::PrintTo(row.summary, os);
}

inline void PrintTo(const copied_value& v, std::ostream* os) {
    *os << '"' << v.text << "\" " << v.length << ' ' << v.logical << ' ' << v.physical;
}

} // namespace engine_fakes
