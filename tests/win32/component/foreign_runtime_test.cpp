// poolscope.dll in a process where another module loaded a mingw libgcc DLL
// before it, as another plug-in built with mingw would: the DLL's start-up
// code then hands its unwind tables to that libgcc, and the component's own
// errors must still end where the component catches them, as alerts
// (src/host/frame_registration_win32.cpp). The foreign libgcc is the
// toolchain's, copied into bin/foreign-runtime/ and loaded by full path
// before any test loads the component; each test loads and unloads the
// component again.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/host_error_translation.h"
#include "refhost/host_api.h"
#include "refhost/thrower/host_thrower.h"
#include "win32/component/loaded_component.h"

namespace {

constexpr char k_title[] = "Metadata Cache Statistics";
constexpr int k_refresh_id = 3;

// libgcc's struct dwarf_eh_bases, which _Unwind_Find_FDE fills.
struct unwind_bases {
    void* text_base;
    void* data_base;
    void* function;
};
using find_fde_function = const void* (*)(void* pc, unwind_bases* bases);

std::wstring foreign_folder() {
    return component::executable_folder() + L"foreign-runtime\\";
}

HMODULE foreign_runtime() {
    static const HMODULE module = LoadLibraryExW((foreign_folder() + L"libgcc_s_dw2-1.dll").c_str(),
                                                 nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return module;
}

std::wstring module_path(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

class ForeignRuntime : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(foreign_runtime(), nullptr)
            << "cannot load bin\\foreign-runtime\\libgcc_s_dw2-1.dll, error " << GetLastError();
        ASSERT_EQ(GetModuleHandleW(L"poolscope.dll"), nullptr)
            << "the component stayed loaded after the previous test";
        m_host = std::make_unique<refhost::host>(refhost::sample_library());
    }

    void TearDown() override {
        m_host->shut_down();
        EXPECT_TRUE(m_host->violations().empty())
            << "host saw: " << (m_host->violations().empty() ? "" : m_host->violations().front());
        m_host.reset();
    }

    refhost::host& host() { return *m_host; }

    void load() { ASSERT_TRUE(host().load_component(L"poolscope.dll")); }

    // Runs the command and pumps until its first refresh is over.
    HWND open_window() {
        EXPECT_TRUE(host().run_command(k_title));
        EXPECT_TRUE(host().pump_until_idle());
        return host().find_window(k_title);
    }

    void press_refresh(HWND window) {
        SendMessageW(GetDlgItem(window, k_refresh_id), BM_CLICK, 0, 0);
        EXPECT_TRUE(host().pump_until_idle());
    }

    std::vector<std::string> alert_texts() const {
        std::vector<std::string> texts;
        for (const refhost::alert_record& alert : m_host->alerts()) {
            texts.push_back(alert.text);
        }
        return texts;
    }

    // The rows of each of the window's three tables.
    static std::vector<std::size_t> table_rows(HWND window) {
        std::vector<std::size_t> rows;
        for (HWND list : refhost::descendants(window, L"SysListView32")) {
            rows.push_back(refhost::read_list_view(list).row_count);
        }
        return rows;
    }

private:
    std::unique_ptr<refhost::host> m_host;
};

// The situation these tests are about: the foreign libgcc sits in its own
// folder, bin\ holds none, and the component's start-up code registered the
// component's tables with the foreign one.
TEST_F(ForeignRuntime, HoldsTheTablesTheComponentsStartUpCodeGaveIt) {
    EXPECT_EQ(module_path(foreign_runtime()), foreign_folder() + L"libgcc_s_dw2-1.dll");
    EXPECT_EQ(GetModuleHandleW(L"libgcc_s_dw2-1.dll"), foreign_runtime());
    EXPECT_EQ(GetFileAttributesW((component::executable_folder() + L"libgcc_s_dw2-1.dll").c_str()),
              INVALID_FILE_ATTRIBUTES);
    const auto find_fde = reinterpret_cast<find_fde_function>(
        reinterpret_cast<void*>(GetProcAddress(foreign_runtime(), "_Unwind_Find_FDE")));
    ASSERT_NE(find_fde, nullptr);

    load();
    const HMODULE component = GetModuleHandleW(L"poolscope.dll");
    ASSERT_NE(component, nullptr);
    void* entry = reinterpret_cast<void*>(GetProcAddress(component, "auvia_get_interface"));
    ASSERT_NE(entry, nullptr);
    unwind_bases bases{};
    EXPECT_NE(find_fde(entry, &bases), nullptr);
    EXPECT_EQ(bases.function, entry);
}

// Thrown by the component's own lookup, caught by the window.
TEST_F(ForeignRuntime, TwoMediaLibrariesEndInTheRefreshsAlert) {
    load();
    ASSERT_TRUE(host().duplicate_service(guids::media_library));
    const HWND window = open_window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(alert_texts(), std::vector<std::string>{"Unhandled exception:\nService duplicated"});
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, k_refresh_id)));
    EXPECT_EQ(host().lock().depth, 0u);
}

TEST_F(ForeignRuntime, AMissingMessageHookIsReportedAndTheRefreshStillFillsTheTables) {
    load();
    host().remove_service(guids::dialog_message_hook);
    const HWND window = open_window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(alert_texts(), std::vector<std::string>{"Unhandled exception:\nService not found"});
    EXPECT_EQ(table_rows(window), (std::vector<std::size_t>{6, 6, 6}));
}

// The host's Microsoft-ABI errors, which the component's guard raises again as
// its own, each in a refresh of the same window.
TEST_F(ForeignRuntime, HostErrorsEndAsTheComponentReportsThem) {
    using refhost::fault_kind;
    using refhost::host_call;
    load();
    const HWND window = open_window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(host().alerts().empty());
    const struct {
        host_call call;
        fault_kind kind;
        std::vector<std::string> alerts;
    } cases[] = {
        {host_call::playlist_count,
         fault_kind::runtime_error,
         {"Unhandled exception:\nInjected host failure"}},
        {host_call::all_tracks, fault_kind::bad_alloc, {"Unhandled exception:\nbad allocation"}},
        {host_call::meta_field_value,
         fault_kind::not_standard,
         {std::string("Unhandled exception:\n") + foreign_host_error_text}},
        {host_call::all_tracks, fault_kind::aborted, {}},
    };
    for (const auto& c : cases) {
        const std::string name = std::string(refhost::host_call_name(c.call)) + " raising kind " +
                                 std::to_string(static_cast<unsigned>(c.kind));
        host().clear_faults();
        host().clear_records();
        host_thrower_reset_counts();
        host().inject_fault(c.call, c.kind);
        press_refresh(window);
        EXPECT_EQ(alert_texts(), c.alerts) << name;
        host_thrower_counts counts{};
        host_thrower_read_counts(&counts);
        EXPECT_EQ(counts.thrown, 1u) << name;
        EXPECT_EQ(counts.destroyed, 1u) << name;
        EXPECT_EQ(counts.host_catches, 0u) << name;
        EXPECT_EQ(host().lock().depth, 0u) << name;
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, k_refresh_id))) << name;
    }
    // And the window refreshes in full afterwards.
    host().clear_faults();
    host().clear_records();
    press_refresh(window);
    EXPECT_TRUE(host().alerts().empty());
    EXPECT_EQ(table_rows(window), (std::vector<std::size_t>{6, 6, 6}));
}

} // namespace
