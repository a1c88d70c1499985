#include "refhost/host_context.h"

#include <utility>

#include "refhost/text_convert.h"

namespace refhost {

host_context::host_context(host_options opts) : options(std::move(opts)) {
    InitializeCriticalSection(&m_section);
}

host_context::~host_context() {
    while (m_lock.depth != 0) {
        LeaveCriticalSection(&m_section);
        --m_lock.depth;
    }
    DeleteCriticalSection(&m_section);
}

void host_context::record_violation(std::string text) {
    write_stderr_line("host: contract breach: " + text);
    violations.push_back(std::move(text));
}

void host_context::host_message(const std::string& text, bool error) {
    messages.push_back(text);
    if (console_pane) {
        console_pane(text);
    }
    if (error) {
        write_stderr_line(text);
    } else if (options.echo_stdout) {
        write_stdout_line(text);
    }
}

void host_context::console_line(std::string text) {
    if (console_pane) {
        console_pane(text);
    }
    if (options.echo_stdout) {
        write_stdout_line("console: " + text);
    }
    console_lines.push_back(std::move(text));
}

void host_context::enter_cached_read(host_call call) {
    faults.enter(call);
    if (m_lock.depth == 0) {
        ++m_lock.unlocked_reads;
        if (!m_unlocked_read_reported) {
            m_unlocked_read_reported = true; // one message; the figure counts them all
            record_violation(std::string(host_call_name(call)) +
                             " called without the metadata-cache lock");
        }
    }
}

void host_context::acquire_cache_lock() {
    if (m_lock.depth != 0) {
        ++m_lock.nested_acquires;
        record_violation("metadata_cache::acquire_lock called while the lock is already held "
                         "(depth " +
                         std::to_string(m_lock.depth) + ")");
    }
    EnterCriticalSection(&m_section);
    ++m_lock.depth;
    ++m_lock.acquires;
    if (m_lock.depth > m_lock.max_depth) {
        m_lock.max_depth = m_lock.depth;
    }
}

void host_context::release_cache_lock() {
    if (m_lock.depth == 0) {
        ++m_lock.unbalanced_releases;
        record_violation("metadata_cache::release_lock called without the lock held");
        return;
    }
    --m_lock.depth;
    ++m_lock.releases;
    LeaveCriticalSection(&m_section);
}

} // namespace refhost
