#include "ui/controls/table_clipboard.h"

#include <cstdint>
#include <new>

namespace {

// A block the clipboard has not taken over yet; freed on every early way out.
class global_block {
public:
    explicit global_block(HGLOBAL block) noexcept : m_block(block) {}
    ~global_block() {
        if (m_block != nullptr) {
            GlobalFree(m_block);
        }
    }
    global_block(const global_block&) = delete;
    global_block& operator=(const global_block&) = delete;

    HGLOBAL get() const noexcept { return m_block; }
    HGLOBAL release() noexcept {
        const HGLOBAL block = m_block;
        m_block = nullptr;
        return block;
    }

private:
    HGLOBAL m_block;
};

class block_lock {
public:
    explicit block_lock(HGLOBAL block) noexcept : m_block(block), m_data(GlobalLock(block)) {}
    ~block_lock() {
        if (m_data != nullptr) {
            GlobalUnlock(m_block);
        }
    }
    block_lock(const block_lock&) = delete;
    block_lock& operator=(const block_lock&) = delete;

    wchar_t* units() const noexcept { return static_cast<wchar_t*>(m_data); }

private:
    HGLOBAL m_block;
    void* m_data;
};

// The most units one block may hold, terminator included: the byte count
// must fit SIZE_T, and a 32-bit process never gets a block of 2 GB or more.
constexpr std::size_t k_largest_units = 0x7FFFFFFFu / sizeof(wchar_t);

bool hand_to_clipboard(HWND owner, global_block& block) {
    if (!OpenClipboard(owner)) {
        return false;
    }
    bool taken = false;
    if (EmptyClipboard()) {
        taken = SetClipboardData(CF_UNICODETEXT, block.get()) != nullptr;
    }
    CloseClipboard();
    if (taken) {
        block.release(); // the clipboard owns it now
    }
    return taken;
}

} // namespace

copy_result copy_table_to_clipboard(HWND owner, table_source<wchar_t>& source, table_rows rows,
                                    clipboard_allocator allocate) {
    try {
        const table_rows walked = effective_rows(source, rows);
        std::size_t units = 0;
        if (!measure_table_text(source, walked, k_largest_units - 1, units)) {
            return copy_result::no_memory;
        }
        global_block block(allocate(GMEM_MOVEABLE, (units + 1) * sizeof(wchar_t)));
        if (block.get() == nullptr) {
            return copy_result::no_memory;
        }
        {
            block_lock lock(block.get());
            if (lock.units() == nullptr) {
                return copy_result::no_memory;
            }
            std::size_t written = 0;
            if (!write_table_text(source, walked, lock.units(), units, written) ||
                written != units) {
                return copy_result::source_changed;
            }
            lock.units()[units] = L'\0';
        }
        return hand_to_clipboard(owner, block) ? copy_result::copied : copy_result::clipboard_busy;
    } catch (const std::bad_alloc&) {
        return copy_result::no_memory;
    }
}
