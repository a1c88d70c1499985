#include "refhost/main_window.h"

#include <exception>

#include "refhost/text_convert.h"

namespace refhost {

namespace {

constexpr wchar_t window_class[] = L"AuviaRefHostMain";
constexpr UINT flag_checked = 1;
constexpr UINT flag_disabled = 2;

void register_class(WNDPROC procedure) {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = window_class;
    registered = RegisterClassExW(&wc) != 0;
}

std::wstring menu_text(const std::string& name) {
    std::wstring text;
    for (wchar_t c : utf8_to_wide(name)) {
        if (c == L'&') {
            text += L'&'; // shown as one ampersand, not a mnemonic
        }
        text += c;
    }
    return text;
}

UINT item_state(std::uint32_t flags) {
    return ((flags & flag_checked) ? MFS_CHECKED : MFS_UNCHECKED) |
           ((flags & flag_disabled) ? MFS_GRAYED : MFS_ENABLED);
}

} // namespace

main_window::main_window(host_context& host, actions what)
    : m_host(host), m_actions(std::move(what)) {
    register_class(&main_window::window_proc);
    m_window = CreateWindowExW(0, window_class, L"Auvia Reference Host", WS_OVERLAPPEDWINDOW, 40,
                               40, 720, 420, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (m_window == nullptr) {
        return;
    }
    m_console = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                    ES_AUTOVSCROLL,
                                0, 0, 0, 0, m_window, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_console, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    SendMessageW(m_console, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    RECT client;
    GetClientRect(m_window, &client);
    MoveWindow(m_console, 0, 0, client.right, client.bottom, FALSE);
    build_menu({});
    if (host.options.show_main_window) {
        ShowWindow(m_window, SW_SHOWNOACTIVATE);
        UpdateWindow(m_window);
    }
}

main_window::~main_window() {
    destroy();
}

void main_window::destroy() {
    if (m_window != nullptr && IsWindow(m_window)) {
        DestroyWindow(m_window);
    }
    m_window = nullptr;
}

void main_window::build_menu(const std::vector<menu_command_info>& commands) {
    if (m_window == nullptr) {
        return;
    }
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, exit_id, L"E&xit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    m_commands_menu = CreatePopupMenu();
    m_other_menu = CreatePopupMenu();
    std::size_t others = 0;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const bool view = commands[i].parent_group == guids::mainmenu_group_view;
        others += view ? 0 : 1;
        AppendMenuW(view ? m_commands_menu : m_other_menu, MF_STRING,
                    first_command_id + static_cast<UINT>(i), menu_text(commands[i].name).c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_commands_menu), L"&View");
    if (others != 0) {
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_other_menu), L"&Components");
    } else {
        DestroyMenu(m_other_menu);
        m_other_menu = nullptr;
    }
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, components_id, L"&Loaded Components");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    HMENU old = GetMenu(m_window);
    SetMenu(m_window, bar);
    if (old != nullptr) {
        DestroyMenu(old);
    }
    m_command_count = commands.size();
    apply_states(commands);
    DrawMenuBar(m_window);
}

void main_window::apply_states(const std::vector<menu_command_info>& commands) {
    HMENU bar = m_window != nullptr ? GetMenu(m_window) : nullptr;
    if (bar == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < commands.size() && i < m_command_count; ++i) {
        std::wstring text = menu_text(commands[i].name);
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STATE | MIIM_STRING;
        item.fState = item_state(commands[i].flags);
        item.dwTypeData = text.data();
        SetMenuItemInfoW(bar, first_command_id + static_cast<UINT>(i), FALSE, &item);
    }
}

void main_window::append_console(const std::string& line) {
    if (m_console == nullptr) {
        return;
    }
    std::wstring text;
    for (wchar_t c : utf8_to_wide(line)) {
        if (c == L'\n') {
            text += L'\r';
        }
        text += c;
    }
    text += L"\r\n";
    const LRESULT end = SendMessageW(m_console, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(m_console, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(m_console, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CALLBACK main_window::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* creating =
            static_cast<main_window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        creating->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
    }
    auto* self = reinterpret_cast<main_window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    try {
        return self->handle_message(message, wparam, lparam);
    } catch (const std::exception& e) {
        self->report_error(e.what());
    } catch (...) {
        self->report_error(nullptr);
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void main_window::report_error(const char* what) noexcept {
    try {
        m_host.host_message(what != nullptr ? std::string("Error in the main window: ") + what
                                            : std::string("Error in the main window"),
                            true);
    } catch (...) {
        // Not even the report fits in memory; the message is dropped.
    }
}

LRESULT main_window::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_SIZE:
        if (m_console != nullptr) {
            MoveWindow(m_console, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        }
        return 0;
    case WM_INITMENUPOPUP:
        if (m_actions.update_states) {
            m_actions.update_states();
        }
        return 0;
    case WM_COMMAND: {
        const UINT id = LOWORD(wparam);
        if (id == exit_id) {
            DestroyWindow(m_window);
        } else if (id == components_id) {
            if (m_actions.list_components) {
                m_actions.list_components();
            }
        } else if (id >= first_command_id && id < first_command_id + m_command_count) {
            if (m_actions.run_command) {
                m_actions.run_command(id - first_command_id);
            }
        }
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(m_window);
        return 0;
    case WM_DESTROY: {
        HWND window = m_window;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        m_window = nullptr;
        m_console = nullptr;
        if (m_quit_on_destroy) {
            PostQuitMessage(0);
        }
        return DefWindowProcW(window, message, wparam, lparam);
    }
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wparam, lparam);
}

} // namespace refhost
