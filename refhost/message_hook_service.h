// dialog_message_hook: keeps the message filters the component's modeless
// windows register; the host's message loop offers every queued message to them.
#pragma once

#include "refhost/host_service.h"

namespace refhost {

class message_hook_service final : public host_service<dialog_message_hook> {
public:
    explicit message_hook_service(host_context& host)
        : host_service(host, guids::dialog_message_hook, "dialog_message_hook") {}

    void register_filter(message_filter* filter) override;
    void unregister_filter(message_filter* filter) override;
};

// Offers msg to every registered filter in registration order until one
// consumes it. A filter unregistered meanwhile is skipped; an exception from a
// filter is recorded as a breach and counts as not consumed.
bool offer_to_filters(host_context& host, const MSG& msg);

} // namespace refhost
