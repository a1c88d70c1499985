#include "refhost/message_pump.h"

#include "refhost/message_hook_service.h"

namespace refhost {

void dispatch_message(host_context& host, MSG& msg) {
    if (offer_to_filters(host, msg)) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int run_message_loop(host_context& host) {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;
        }
        dispatch_message(host, msg);
    }
    return static_cast<int>(msg.wParam);
}

bool pump_until_idle(host_context& host, std::uint32_t quiet_ms, std::uint32_t limit_ms) {
    const DWORD start = GetTickCount();
    DWORD last_activity = start;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            if (msg.message != WM_TIMER) {
                last_activity = GetTickCount();
            }
            dispatch_message(host, msg);
            if (GetTickCount() - start >= limit_ms) {
                return false;
            }
        }
        const DWORD now = GetTickCount();
        if (now - last_activity >= quiet_ms) {
            return true;
        }
        if (now - start >= limit_ms) {
            return false;
        }
        const DWORD wait = quiet_ms - (now - last_activity);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

void pump_for(host_context& host, std::uint32_t ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            dispatch_message(host, msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

} // namespace refhost
