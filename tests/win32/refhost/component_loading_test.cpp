// Loading components: the real poolscope.dll from bin/, and the bad cases
// (missing, not a DLL, no entry point, wrong interface version), each of
// which leaves the host running; a sloppy component whose breaches the host
// must catch.
#include <gtest/gtest.h>

#include <algorithm>

#include "refhost/host_api.h"
#include "refhost/host_string.h"
#include "refhost/text_convert.h"
#include "win32/refhost/test_support.h"

namespace {

using namespace refhost;
using refhost_test::executable_folder;
using refhost_test::scratch_folder;

bool mentions(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

// The command id of the main-menu item with this text, or 0.
UINT menu_item_id(HWND window, const std::string& text) {
    HMENU bar = GetMenu(window);
    for (int p = 0; p < GetMenuItemCount(bar); ++p) {
        HMENU popup = GetSubMenu(bar, p);
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            wchar_t item[256] = {};
            GetMenuStringW(popup, static_cast<UINT>(i), item, 256, MF_BYPOSITION);
            if (wide_to_utf8(item) == text) {
                return GetMenuItemID(popup, i);
            }
        }
    }
    return 0;
}

host_options options_in(const wchar_t* folder) {
    host_options o;
    o.profile_dir = scratch_folder(folder) + L"profile";
    return o;
}

std::string file_bytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    char buffer[256];
    DWORD got = 0;
    ReadFile(f, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(f);
    return std::string(buffer, got);
}

void write_bytes(const std::wstring& path, const std::string& bytes) {
    std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    CreateDirectoryW(folder.substr(0, folder.find_last_of(L'\\')).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

TEST(ComponentLoading, PoolscopeLoadsAndItsCommandIsInTheMainMenu) {
    const host_options options = options_in(L"poolscope");
    host h(sample_library(), options);
    const std::wstring dll = executable_folder() + L"poolscope.dll";
    ASSERT_TRUE(h.load_component(dll)) << (h.messages().empty() ? "" : h.messages().back());

    const std::vector<component_summary> loaded = h.components();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].name, "Metadata Cache Statistics");
    EXPECT_EQ(loaded[0].version, "1.2");
    EXPECT_EQ(loaded[0].file_name, wide_to_utf8(dll)) << "text B of set_paths";
    ASSERT_EQ(loaded[0].classes.size(), 2u);
    EXPECT_TRUE(loaded[0].classes[0] == guids::mainmenu_commands);
    EXPECT_TRUE(loaded[0].classes[1] == guids::componentversion);
    EXPECT_TRUE(mentions(h.messages(), "Loaded component \"Metadata Cache Statistics\" 1.2"));

    const std::vector<menu_command_info> commands = h.menu_commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].name, "Metadata Cache Statistics");
    EXPECT_EQ(commands[0].description, "Show statistics about the metadata cache.");
    EXPECT_TRUE(commands[0].parent_group == guids::mainmenu_group_view);
    EXPECT_EQ(commands[0].placement, 0x80000000u);
    const auto items = h.menu_items();
    EXPECT_NE(
        std::find(items.begin(), items.end(),
                  std::make_pair(std::string("&View"), std::string("Metadata Cache Statistics"))),
        items.end());

    EXPECT_TRUE(h.run_command("Metadata Cache Statistics"));
    EXPECT_TRUE(h.pump_until_idle());
    EXPECT_EQ(h.lock().depth, 0u);
    EXPECT_EQ(h.lock().balance(), 0);
    EXPECT_EQ(h.lock().unlocked_reads, 0u);
    EXPECT_FALSE(h.run_command("No Such Command"));

    h.shut_down();
    EXPECT_TRUE(h.violations().empty()) << h.violations().front();
    EXPECT_EQ(h.outside_handle_references(), 0u);
    EXPECT_TRUE(h.components()[0].configuration_written.empty());
    EXPECT_EQ(file_bytes(options.profile_dir + L"\\configuration\\poolscope.dll.cfg"), "");
}

TEST(ComponentLoading, BadComponentsAreReportedAndTheHostKeepsRunning) {
    host h(refhost_test::small_library(), options_in(L"bad"));
    const std::wstring folder = scratch_folder(L"bad");
    const std::wstring broken = folder + L"broken.dll";
    write_bytes(broken, "This is a text file, not a DLL.\n");

    struct bad_case {
        std::wstring path;
        const char* reason;
    };
    const bad_case cases[] = {
        {folder + L"missing.dll", "missing.dll"},
        {broken, "broken.dll"},
        {executable_folder() + L"refhost_test_no_export.dll",
         "does not export auvia_get_interface"},
        {executable_folder() + L"refhost_test_version70.dll",
         "interface version 70; this host needs 71"},
        {executable_folder() + L"refhost_test_broken_chain.dll",
         "its factory chain points at unreadable memory"},
        {executable_folder() + L"refhost_test_broken_gateway.dll",
         "auvia_get_interface answered unreadable memory"},
    };
    for (const bad_case& c : cases) {
        const std::size_t before = h.messages().size();
        EXPECT_FALSE(h.load_component(c.path)) << wide_to_utf8(c.path);
        ASSERT_EQ(h.messages().size(), before + 1);
        EXPECT_EQ(h.messages().back().rfind("Cannot load component ", 0), 0u);
        EXPECT_NE(h.messages().back().find(c.reason), std::string::npos) << h.messages().back();
    }
    EXPECT_EQ(h.failed_components(), 6u);
    EXPECT_TRUE(h.components().empty());
    EXPECT_TRUE(h.menu_commands().empty());

    // Still running: a good component loads and its command runs.
    ASSERT_TRUE(h.load_component(executable_folder() + L"poolscope.dll"));
    EXPECT_TRUE(h.run_command("Metadata Cache Statistics"));
    EXPECT_TRUE(h.pump_until_idle());
    h.shut_down();
    EXPECT_TRUE(h.violations().empty()) << h.violations().front();
}

// Loading a DLL that is loaded already would register its factories a second
// time (every command twice, two instances of each of its services).
TEST(ComponentLoading, AComponentLoadedAgainIsRefusedOnce) {
    host h(refhost_test::small_library(), options_in(L"twice"));
    const std::wstring dll = executable_folder() + L"poolscope.dll";
    ASSERT_TRUE(h.load_component(dll));
    // The same file under another spelling of its path is the same module.
    EXPECT_FALSE(h.load_component(executable_folder() + L".\\POOLSCOPE.DLL"));
    EXPECT_TRUE(mentions(h.messages(), "it is loaded already"));
    EXPECT_EQ(h.failed_components(), 1u);
    EXPECT_EQ(h.components().size(), 1u);
    EXPECT_EQ(h.menu_commands().size(), 1u);
    // The component's own services are reachable through the host's core like
    // any other: one instance, created by its chain node.
    host_core& core = h.core();
    const service_class_ref version_class = core.lookup_class(guids::componentversion);
    EXPECT_EQ(core.count_instances(version_class), 1u);
    service_base* instance = nullptr;
    ASSERT_TRUE(core.create_instance(&instance, version_class, 0));
    host_string name;
    static_cast<componentversion*>(instance)->component_name(name);
    EXPECT_EQ(name.text(), "Metadata Cache Statistics");
    instance->service_release();
    instance = nullptr;
    EXPECT_FALSE(core.create_instance(&instance, version_class, 1));

    EXPECT_TRUE(h.run_command("Metadata Cache Statistics"));
    EXPECT_TRUE(h.pump_until_idle());
    h.shut_down();
    EXPECT_TRUE(h.violations().empty()) << h.violations().front();
    // Both loads were given back: the module is gone.
    EXPECT_EQ(GetModuleHandleW(dll.c_str()), nullptr);
}

// poolscope.dll reads a stored configuration record by record through the
// host's stream, whichever way the stream ends, and writes it back empty.
TEST(ComponentLoading, PoolscopeConsumesStoredRecordsInBothStreamEndModes) {
    std::string records;
    auto add_record = [&records](char id, const std::string& payload) {
        records += std::string(15, id) + '\x01';
        const auto size = static_cast<std::uint32_t>(payload.size());
        for (int k = 0; k < 4; ++k) {
            records += static_cast<char>(size >> (8 * k));
        }
        records += payload;
    };
    add_record('a', "payload of seven");
    add_record('b', "");
    add_record('c', std::string(300, 'x'));
    const std::string whole = records;
    const std::string cut = records + std::string(9, 'd'); // a header cut short

    for (stream_end_mode mode : {stream_end_mode::raise, stream_end_mode::short_read}) {
        for (const std::string* stored : {&whole, &cut}) {
            host_options options = options_in(L"stored");
            options.stream_end = mode;
            write_bytes(options.profile_dir + L"\\configuration\\poolscope.dll.cfg", *stored);
            host h(refhost_test::small_library(), options);
            ASSERT_TRUE(h.load_component(executable_folder() + L"poolscope.dll"));
            // Raising at the end leaves the cut header unread; a short read
            // consumes it.
            const std::size_t expected =
                mode == stream_end_mode::raise ? whole.size() : stored->size();
            EXPECT_EQ(h.components()[0].configuration_bytes_read, expected)
                << "mode " << static_cast<int>(mode) << ", " << stored->size() << " bytes";
            h.shut_down();
            EXPECT_TRUE(h.violations().empty()) << h.violations().front();
            EXPECT_EQ(file_bytes(options.profile_dir + L"\\configuration\\poolscope.dll.cfg"), "");
        }
    }
}

TEST(ComponentLoading, ASloppyComponentsBreachesAreRecorded) {
    const host_options options = options_in(L"sloppy");
    const std::wstring cfg = options.profile_dir + L"\\configuration\\refhost_test_sloppy.dll.cfg";
    write_bytes(cfg, "12345");
    host h(refhost_test::small_library(), options);
    ASSERT_TRUE(h.load_component(executable_folder() + L"refhost_test_sloppy.dll"));
    ASSERT_EQ(h.components().size(), 1u);
    EXPECT_EQ(h.components()[0].name, "") << "it has no version record";
    EXPECT_EQ(h.components()[0].configuration_bytes_read, 5u);
    ASSERT_EQ(h.menu_commands().size(), 2u);

    EXPECT_TRUE(h.run_command("Sloppy Lock"));
    EXPECT_EQ(h.lock().nested_acquires, 1u);
    EXPECT_EQ(h.lock().depth, 1u);
    EXPECT_TRUE(mentions(h.violations(), "already held"));

    EXPECT_TRUE(h.run_command("Sloppy Reference"));
    EXPECT_TRUE(mentions(h.violations(), "\"Sloppy Reference\") kept the reference"));

    h.shut_down();
    EXPECT_TRUE(mentions(h.violations(), "lock is still held (depth 1)"));
    EXPECT_EQ(h.components()[0].configuration_written, (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(file_bytes(cfg), "abc");
}

TEST(ComponentLoading, TheMenuRunsCommandsAndTheConsolePaneShowsMessages) {
    host h(refhost_test::small_library(), options_in(L"menu"));
    ASSERT_TRUE(h.load_component(executable_folder() + L"refhost_test_sloppy.dll"));
    const auto items = h.menu_items();
    EXPECT_NE(std::find(items.begin(), items.end(),
                        std::make_pair(std::string("&View"), std::string("Sloppy Lock"))),
              items.end());

    // Choosing the menu item inside the application's loop runs the command;
    // closing the main window ends the loop.
    const UINT id = menu_item_id(h.main_window(), "Sloppy Lock");
    ASSERT_NE(id, 0u);
    PostMessageW(h.main_window(), WM_COMMAND, id, 0);
    PostMessageW(h.main_window(), WM_CLOSE, 0, 0);
    h.run_message_loop();
    EXPECT_EQ(h.lock().nested_acquires, 1u);
    EXPECT_EQ(h.main_window(), nullptr);
    h.shut_down();
}

TEST(ComponentLoading, HostMessagesAppearInTheConsolePane) {
    host h(refhost_test::small_library(), options_in(L"pane"));
    EXPECT_FALSE(h.load_component(L"Z:\\nowhere\\absent.dll"));
    const std::vector<HWND> edits = descendants(h.main_window(), L"EDIT");
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_NE(window_title(edits[0]).find("Cannot load component Z:\\nowhere\\absent.dll"),
              std::string::npos);
}

} // namespace
