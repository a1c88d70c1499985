#include "refhost/text_store.h"

#include <cstring>

namespace refhost {

const char* text_store::store(std::string_view text) {
    const std::size_t need = text.size() + 1;
    char* target = nullptr;
    if (need > block_size / 4) {
        // Large texts get a block of their own; the current block goes on.
        m_blocks.push_back(std::make_unique<char[]>(need));
        target = m_blocks.back().get();
    } else {
        if (need > m_left) {
            m_blocks.push_back(std::make_unique<char[]>(block_size));
            m_next = m_blocks.back().get();
            m_left = block_size;
        }
        target = m_next;
        m_next += need;
        m_left -= need;
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
