// Where the host's metadata cache keeps its texts: every text gets its own
// NUL-terminated copy at a stable address (never moved or freed before the
// store goes away), spaced like heap allocations. An interner hands out one
// copy per distinct text.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace refhost {

class text_store {
public:
    text_store() = default;
    text_store(const text_store&) = delete;
    text_store& operator=(const text_store&) = delete;

    // A new copy of text, always at a new address.
    const char* store(std::string_view text);
    std::size_t bytes_used() const noexcept { return m_used; }

private:
    static constexpr std::size_t block_size = 64 * 1024;
    static constexpr std::size_t heap_header = 8;
    static constexpr std::size_t heap_granularity = 8;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_next = nullptr;
    std::size_t m_left = 0;
    std::size_t m_used = 0;
};

class text_interner {
public:
    explicit text_interner(text_store& store) : m_store(store) {}
    // The one copy of text: the same address for equal bytes.
    const char* intern(std::string_view text);
    std::size_t distinct() const noexcept { return m_texts.size(); }

private:
    text_store& m_store;
    std::unordered_map<std::string_view, const char*> m_texts;
};

} // namespace refhost
