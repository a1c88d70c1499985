#include "refhost/text_store.h"

#include <cstring>

namespace refhost {

const char* text_store::store(std::string_view text) {
    const std::size_t need = text.size() + 1;
    // Laid out as a heap lays out allocations: a header before each block and
    // the block rounded up to the granularity, so that two stored texts are
    // never adjacent (a text starting right after another's NUL would look
    // like a shared tail to anyone estimating memory from addresses).
    const std::size_t slot =
        heap_header + (need + heap_granularity - 1) / heap_granularity * heap_granularity;
    char* target = nullptr;
    if (slot > block_size / 4) {
        // Large texts get a block of their own; the current block goes on.
        m_blocks.push_back(std::make_unique<char[]>(slot));
        target = m_blocks.back().get() + heap_header;
    } else {
        if (slot > m_left) {
            m_blocks.push_back(std::make_unique<char[]>(block_size));
            m_next = m_blocks.back().get();
            m_left = block_size;
        }
        target = m_next + heap_header;
        m_next += slot;
        m_left -= slot;
    }
    std::memcpy(target, text.data(), text.size());
    target[text.size()] = '\0';
    m_used += need;
    return target;
}

const char* text_interner::intern(std::string_view text) {
    const auto found = m_texts.find(text);
    if (found != m_texts.end()) {
        return found->second;
    }
    const char* copy = m_store.store(text);
    m_texts.emplace(std::string_view(copy, text.size()), copy);
    return copy;
}

} // namespace refhost
