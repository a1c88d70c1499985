#include "support/string8.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace string8_detail {

const char empty_text[1] = {0};

std::uint32_t bounded_length(const char* text, std::uint32_t max_bytes) noexcept {
    if (!text || max_bytes == 0) {
        return 0;
    }
    const void* nul = std::memchr(text, 0, max_bytes);
    return nul ? static_cast<std::uint32_t>(static_cast<const char*>(nul) - text) : max_bytes;
}

namespace {

constexpr std::uint64_t limit = 0xFFFFFFFFull;

// Bytes of a text that starts inside a string's storage and that may be
// taken: never beyond the contents, whatever the maximum says.
std::uint32_t own_bytes(const char* text, const char* data, std::uint32_t length,
                        std::uint32_t max_bytes) noexcept {
    const auto offset = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(text) -
                                                   reinterpret_cast<std::uintptr_t>(data));
    const std::uint32_t available =
        offset < length ? static_cast<std::uint32_t>(length - offset) : 0;
    return bounded_length(text, max_bytes < available ? max_bytes : available);
}

} // namespace
} // namespace string8_detail

using string8_detail::bounded_length;

template <typename Policy> bool string8_t<Policy>::inside_storage(const char* text) const noexcept {
    if (!m_data || !text) {
        return false;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(text);
    const auto first = reinterpret_cast<std::uintptr_t>(m_data);
    return address >= first && address - first < this->allocated();
}

template <typename Policy> void string8_t<Policy>::fulfil(std::uint32_t request) {
    if constexpr (std::is_same_v<Policy, alloc_standard>) {
        void* block = std::realloc(m_data, request);
        if (!block) {
            if (request > m_capacity) {
                array_detail::throw_bad_alloc();
            }
            return; // a smaller block was refused: keep the larger one
        }
        m_data = static_cast<char*>(block);
        m_capacity = request;
    } else {
        const std::uint32_t wanted = array_detail::grow_by_doubling(this->m_allocated, request);
        if (wanted > this->m_allocated) {
            void* block = std::realloc(m_data, wanted);
            if (!block) {
                array_detail::throw_bad_alloc();
            }
            m_data = static_cast<char*>(block);
            this->m_allocated = wanted;
        }
        m_capacity = request;
    }
}

template <typename Policy> void string8_t<Policy>::size_for(std::uint32_t new_length) {
    const std::uint64_t needed = std::uint64_t{new_length} + 1;
    if (m_capacity < needed) {
        if (needed + 16 > string8_detail::limit) {
            array_detail::throw_bad_alloc();
        }
        fulfil(static_cast<std::uint32_t>(needed + 16));
    } else if (m_capacity > needed + 32) {
        fulfil(static_cast<std::uint32_t>(needed));
    }
}

template <typename Policy>
void string8_t<Policy>::append(const char* text, std::uint32_t max_bytes) {
    if (max_bytes != 0 && inside_storage(text)) {
        const string8_t<alloc_standard> copy(
            text, string8_detail::own_bytes(text, m_data, m_length, max_bytes));
        append(copy.c_str(), until_nul);
        return;
    }
    // Even an append of no bytes applies the sizing rule: a string that has
    // never held anything gets its first storage here.
    const std::uint32_t added = bounded_length(text, max_bytes);
    const std::uint64_t new_length = std::uint64_t{m_length} + added;
    if (new_length >= string8_detail::limit) {
        array_detail::throw_bad_alloc();
    }
    size_for(static_cast<std::uint32_t>(new_length));
    if (added != 0) {
        std::memcpy(m_data + m_length, text, added);
    }
    m_length = static_cast<std::uint32_t>(new_length);
    m_data[m_length] = 0;
}

template <typename Policy>
void string8_t<Policy>::assign(const char* text, std::uint32_t max_bytes) {
    if (max_bytes != 0 && inside_storage(text)) {
        const string8_t<alloc_standard> copy(
            text, string8_detail::own_bytes(text, m_data, m_length, max_bytes));
        assign(copy.c_str(), until_nul);
        return;
    }
    const std::uint32_t length = bounded_length(text, max_bytes);
    if (length == 0xFFFFFFFFu) {
        array_detail::throw_bad_alloc();
    }
    size_for(length);
    if (length != 0) {
        std::memcpy(m_data, text, length);
    }
    m_length = length;
    m_data[m_length] = 0;
}

template <typename Policy> void string8_t<Policy>::shorten(std::uint32_t n) {
    if (n >= m_length) {
        return;
    }
    m_length = n;
    m_data[n] = 0;
    size_for(n); // never grows here, so never fails
}

template <typename Policy> char* string8_t<Policy>::open_buffer(std::uint32_t n) {
    if (n == 0xFFFFFFFFu) {
        array_detail::throw_bad_alloc();
    }
    size_for(n);
    m_length = 0;
    std::memset(m_data, 0, m_capacity);
    return m_data;
}

template <typename Policy> void string8_t<Policy>::close_buffer() {
    if (!m_data) {
        // No buffer was opened: the length found is 0.
        size_for(0);
        m_length = 0;
        m_data[0] = 0;
        return;
    }
    std::uint32_t length = bounded_length(m_data, m_capacity);
    if (length == m_capacity) {
        length = m_capacity - 1; // the caller overwrote the terminator
    }
    m_data[length] = 0;
    m_length = length;
    size_for(length);
}

template class string8_t<alloc_standard>;
template class string8_t<alloc_fast_aggressive>;
