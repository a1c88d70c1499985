// string8_t: the growable UTF-8 string. Its operations follow string_base, so
// the host's shared utility library can write into it. Two storage policies:
// alloc_standard (fits the text closely; short-lived strings) and
// alloc_fast_aggressive (allocation only grows, by doubling; strings built by
// many appends).
#pragma once

#include <cstdint>

#include "support/array.h"
#include "support/string_base.h"

namespace string8_detail {

// Field layouts, in order. Invariant: with storage, m_data[m_length] == 0
// and m_length + 1 <= m_capacity.
template <typename Policy> struct string8_fields;

template <> struct string8_fields<alloc_standard> {
    char* m_data = nullptr;
    std::uint32_t m_capacity = 0; // bytes allocated
    std::uint32_t m_length = 0;

    std::uint32_t allocated() const noexcept { return m_capacity; }
};

template <> struct string8_fields<alloc_fast_aggressive> {
    char* m_data = nullptr;
    std::uint32_t m_allocated = 0; // bytes allocated, only grows
    std::uint32_t m_capacity = 0;  // size last requested, never above m_allocated
    std::uint32_t m_length = 0;

    std::uint32_t allocated() const noexcept { return m_allocated; }
};

// Bytes of text before its first NUL, at most max_bytes; a null text has none.
std::uint32_t bounded_length(const char* text, std::uint32_t max_bytes) noexcept;

extern const char empty_text[1];

} // namespace string8_detail

template <typename Policy>
class string8_t final : public string_base, private string8_detail::string8_fields<Policy> {
    using fields = string8_detail::string8_fields<Policy>;
    using fields::m_capacity;
    using fields::m_data;
    using fields::m_length;

public:
    string8_t() noexcept = default;
    string8_t(const char* text) { assign(text, until_nul); }
    string8_t(const char* text, std::uint32_t max_bytes) { assign(text, max_bytes); }
    string8_t(const string8_t& other) { assign(other.c_str(), other.m_length); }
    string8_t(string8_t&& other) noexcept : fields(other.as_fields()) {
        other.as_fields() = fields{};
    }
    ~string8_t() { std::free(m_data); }

    string8_t& operator=(const string8_t& other) {
        if (this != &other) {
            assign(other.c_str(), other.m_length);
        }
        return *this;
    }
    string8_t& operator=(string8_t&& other) noexcept {
        if (this != &other) {
            std::free(m_data);
            as_fields() = other.as_fields();
            other.as_fields() = fields{};
        }
        return *this;
    }
    string8_t& operator=(const char* text) {
        assign(text, until_nul);
        return *this;
    }
    string8_t& operator+=(const char* text) {
        append(text, until_nul);
        return *this;
    }
    template <typename OtherPolicy> string8_t& operator+=(const string8_t<OtherPolicy>& other) {
        append(other.c_str(), other.length());
        return *this;
    }

    // ------------------------------------------------ non-virtual access
    const char* c_str() const noexcept { return m_length ? m_data : string8_detail::empty_text; }
    std::uint32_t length() const noexcept { return m_length; }
    bool is_empty() const noexcept { return m_length == 0; }
    // Bytes the string last asked for (the sizing rule's capacity).
    std::uint32_t capacity() const noexcept { return m_capacity; }
    // Bytes actually allocated (equal to capacity() with alloc_standard).
    std::uint32_t allocated() const noexcept { return fields::allocated(); }

    // ------------------------------------------------ string_base
    void append(const char* text, std::uint32_t max_bytes) override;
    const char* chars() const override { return c_str(); }
    void assign(const char* text, std::uint32_t max_bytes) override;
    void shorten(std::uint32_t n) override;
    std::uint32_t byte_length() const override { return m_length; }
    char* open_buffer(std::uint32_t n) override;
    void close_buffer() override;

private:
    fields& as_fields() noexcept { return *this; }

    // True when text points into this string's own storage.
    bool inside_storage(const char* text) const noexcept;
    // Applies the sizing rule for a new length; raises std::bad_alloc (nothing
    // changed) when more storage is needed and cannot be had.
    void size_for(std::uint32_t new_length);
    void fulfil(std::uint32_t request);
};

extern template class string8_t<alloc_standard>;
extern template class string8_t<alloc_fast_aggressive>;

using string8 = string8_t<alloc_standard>;
using string8_fast = string8_t<alloc_fast_aggressive>;
