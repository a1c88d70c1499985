// The weighted length distribution of a pool's distinct values, built one
// value at a time, and its quartiles: the same figures as length_quartiles
// over the values.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "engine/pool_summary.h"

class length_histogram {
public:
    // One distinct value of length bytes with weight logical strings.
    void add(std::uint32_t length, std::uint32_t weight);
    // Lower quartile, median, upper quartile and maximum; all 0 when no
    // value was added.
    length_quartile_figures quartiles() const;

private:
    // Short lengths are counted in place, long ones (rare) in a map.
    static constexpr std::uint32_t dense_limit = 1u << 16;
    std::vector<std::uint64_t> m_weights;
    std::vector<bool> m_present;
    std::map<std::uint32_t, std::uint64_t> m_long;
    std::uint32_t m_total = 0; // the 32-bit sum of the weights
    std::uint32_t m_values = 0;
};
