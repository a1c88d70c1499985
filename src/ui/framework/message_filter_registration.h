// Keeps a window's keyboard message filter registered with the host's
// dialog_message_hook while the window exists. The hook is looked up anew for
// each registration and unregistration and released at once.
#pragma once

#include "host/host_interfaces.h"

class message_filter_registration {
public:
    // Registers filter. Lookup errors propagate; nothing is registered then.
    void register_filter(message_filter* filter);
    // Unregisters the filter registered here, if any. Lookup errors propagate
    // after the registration has been forgotten, so it is never tried twice.
    void unregister_filter();
    bool registered() const noexcept { return m_filter != nullptr; }

private:
    message_filter* m_filter = nullptr;
};
