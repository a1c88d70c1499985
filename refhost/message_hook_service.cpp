#include "refhost/message_hook_service.h"

#include <algorithm>
#include <exception>

namespace refhost {

void message_hook_service::register_filter(message_filter* filter) {
    m_host.enter(host_call::register_filter);
    if (filter == nullptr) {
        m_host.record_violation("dialog_message_hook::register_filter called with null");
        return;
    }
    auto& filters = m_host.filters;
    if (std::find(filters.begin(), filters.end(), filter) != filters.end()) {
        m_host.record_violation("a message filter was registered twice");
        return;
    }
    filters.push_back(filter);
}

void message_hook_service::unregister_filter(message_filter* filter) {
    m_host.enter(host_call::unregister_filter);
    auto& filters = m_host.filters;
    const auto found = std::find(filters.begin(), filters.end(), filter);
    if (found == filters.end()) {
        m_host.record_violation("a message filter that is not registered was unregistered");
        return;
    }
    filters.erase(found);
}

bool offer_to_filters(host_context& host, const MSG& msg) {
    if (host.filters.empty()) {
        return false;
    }
    const std::vector<message_filter*> snapshot = host.filters;
    for (message_filter* filter : snapshot) {
        if (std::find(host.filters.begin(), host.filters.end(), filter) == host.filters.end()) {
            continue; // unregistered by an earlier filter's work
        }
        try {
            if (filter->filter_message(&msg)) {
                return true;
            }
        } catch (const std::exception& e) {
            host.record_violation(std::string("exception left message_filter::filter_message: ") +
                                  e.what());
        } catch (...) {
            host.record_violation("exception left message_filter::filter_message");
        }
    }
    return false;
}

} // namespace refhost
