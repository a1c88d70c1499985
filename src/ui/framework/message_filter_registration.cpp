#include "ui/framework/message_filter_registration.h"

#include "host/host_guard.h"
#include "host/service_lookup.h"

void message_filter_registration::register_filter(message_filter* filter) {
    service_ptr_t<dialog_message_hook> hook =
        lookup_single<dialog_message_hook>(guids::dialog_message_hook);
    guarded_host_calls([&] { hook->register_filter(filter); });
    m_filter = filter;
}

void message_filter_registration::unregister_filter() {
    message_filter* const filter = m_filter;
    if (filter == nullptr) {
        return;
    }
    m_filter = nullptr;
    service_ptr_t<dialog_message_hook> hook =
        lookup_single<dialog_message_hook>(guids::dialog_message_hook);
    guarded_host_calls([&] { hook->unregister_filter(filter); });
}
