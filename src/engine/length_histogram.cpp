#include "engine/length_histogram.h"

void length_histogram::add(std::uint32_t length, std::uint32_t weight) {
    if (length < dense_limit) {
        if (length >= m_weights.size()) {
            m_weights.resize(std::size_t{length} + 1, 0);
            m_present.resize(std::size_t{length} + 1, false);
        }
        m_weights[length] += weight;
        m_present[length] = true;
    } else {
        m_long[length] += weight;
    }
    m_total += weight;
    ++m_values;
}

length_quartile_figures length_histogram::quartiles() const {
    length_quartile_figures figures;
    if (m_values == 0) {
        return figures;
    }
    figures.maximum =
        !m_long.empty() ? m_long.rbegin()->first : static_cast<std::uint32_t>(m_weights.size() - 1);
    const std::uint32_t thresholds[3] = {m_total / 4, m_total / 2, (3 * m_total) / 4};
    std::uint32_t* results[3] = {&figures.lower_quartile, &figures.median, &figures.upper_quartile};
    std::uint32_t next = 0;
    std::uint64_t running = 0;
    const auto add = [&](std::uint32_t length, std::uint64_t weight) {
        running += weight;
        while (next < 3 && running >= thresholds[next]) {
            *results[next++] = length;
        }
    };
    for (std::uint32_t length = 0; length < m_weights.size() && next < 3; ++length) {
        if (m_present[length]) {
            add(length, m_weights[length]);
        }
    }
    for (auto i = m_long.begin(); i != m_long.end() && next < 3; ++i) {
        add(i->first, i->second);
    }
    return figures;
}
