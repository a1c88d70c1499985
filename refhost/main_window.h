// The host's main window: the owner of the component's windows, a main menu
// built from the menu commands, and a console pane showing console lines and
// the host's messages.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "refhost/host_context.h"
#include "refhost/host_records.h"

namespace refhost {

class main_window {
public:
    struct actions {
        std::function<void(std::size_t)> run_command; // position in the command list
        std::function<void()> update_states;          // before a menu opens
        std::function<void()> list_components;
    };

    main_window(host_context& host, actions what);
    ~main_window();
    main_window(const main_window&) = delete;
    main_window& operator=(const main_window&) = delete;

    HWND handle() const { return m_window; }
    void build_menu(const std::vector<menu_command_info>& commands);
    void apply_states(const std::vector<menu_command_info>& commands);
    void append_console(const std::string& line);
    // Closing the window ends the message loop (the application's mode).
    void quit_on_destroy(bool quit) { m_quit_on_destroy = quit; }
    void destroy();

    static constexpr UINT first_command_id = 40000;
    static constexpr UINT exit_id = 100;
    static constexpr UINT components_id = 101;

private:
    static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
    // Reports an error that ended a message; never throws (it runs in the
    // window procedure).
    void report_error(const char* what) noexcept;

    host_context& m_host;
    actions m_actions;
    HWND m_window = nullptr;
    HWND m_console = nullptr;
    HMENU m_commands_menu = nullptr; // the "&View" popup
    HMENU m_other_menu = nullptr;    // the "&Components" popup (commands of other groups)
    bool m_quit_on_destroy = false;
    std::size_t m_command_count = 0;
};

} // namespace refhost
