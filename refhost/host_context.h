// The state every part of the reference host shares: options, what it
// recorded (alerts, console lines, its own messages, contract breaches), the
// fault injector, the metadata-cache lock and the registered message filters.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "host/host_interfaces.h"
#include "refhost/fault_injector.h"
#include "refhost/host_records.h"

namespace refhost {

class host_context {
public:
    explicit host_context(host_options opts);
    ~host_context();
    host_context(const host_context&) = delete;
    host_context& operator=(const host_context&) = delete;

    host_options options;
    fault_injector faults;

    std::vector<alert_record> alerts;
    std::vector<std::string> console_lines; // what components printed
    std::vector<std::string> messages;      // the host's own messages
    std::vector<std::string> violations;    // contract breaches the host saw

    HWND owner = nullptr; // the main window
    // Appends a line to the main window's console pane (set by the window).
    std::function<void(const std::string&)> console_pane;

    std::vector<message_filter*> filters; // registration order

    // A breach of a host contract by a component: recorded and printed on
    // standard error.
    void record_violation(std::string text);
    // The host's own message (loading problems and the like): recorded, shown
    // in the console pane, printed (errors on standard error).
    void host_message(const std::string& text, bool error);
    // A console line from a component.
    void console_line(std::string text);

    // Counts the call and raises when a fault is armed for it.
    void enter(host_call call) { faults.enter(call); }
    // The same for reads of cached track data, which must happen under the lock.
    void enter_cached_read(host_call call);

    // The metadata-cache lock: a real critical section plus its figures.
    void acquire_cache_lock();
    void release_cache_lock();
    const lock_figures& cache_lock_figures() const { return m_lock; }

private:
    CRITICAL_SECTION m_section;
    lock_figures m_lock;
    bool m_unlocked_read_reported = false;
};

} // namespace refhost
