// Dialog templates 105, 106 and 107 as poolscope.dll carries them, read back
// from its resources: sizes, styles, font, and every control.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct control_template {
    std::uint32_t id;
    std::wstring class_name; // upper case, or "#<ordinal>"
    std::wstring text;
    short x, y, cx, cy;
    std::uint32_t style;
    std::uint32_t ex_style;
};

struct dialog_template {
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    short cx = 0, cy = 0;
    std::wstring title;
    std::uint16_t point_size = 0;
    std::wstring font;
    std::vector<control_template> controls;
};

// Reads one DLGTEMPLATEEX.
class template_reader {
public:
    explicit template_reader(const std::uint8_t* data) : m_at(data) {}

    dialog_template read() {
        dialog_template t;
        const std::uint16_t version = word();
        const std::uint16_t signature = word();
        EXPECT_EQ(version, 1);
        EXPECT_EQ(signature, 0xFFFF) << "not an extended template";
        dword(); // help id
        t.ex_style = dword();
        t.style = dword();
        const std::uint16_t count = word();
        word(); // x
        word(); // y
        t.cx = static_cast<short>(word());
        t.cy = static_cast<short>(word());
        name(); // menu
        name(); // class
        t.title = name();
        if (t.style & DS_SETFONT) {
            t.point_size = word();
            word();    // weight
            m_at += 2; // italic, charset
            t.font = name();
        }
        for (std::uint16_t i = 0; i < count; ++i) {
            align();
            control_template c{};
            dword(); // help id
            c.ex_style = dword();
            c.style = dword();
            c.x = static_cast<short>(word());
            c.y = static_cast<short>(word());
            c.cx = static_cast<short>(word());
            c.cy = static_cast<short>(word());
            c.id = dword();
            c.class_name = upper(name());
            c.text = name();
            m_at += word(); // creation data
            t.controls.push_back(c);
        }
        return t;
    }

private:
    std::uint16_t word() {
        std::uint16_t v;
        memcpy(&v, m_at, 2);
        m_at += 2;
        return v;
    }
    std::uint32_t dword() {
        std::uint32_t v;
        memcpy(&v, m_at, 4);
        m_at += 4;
        return v;
    }
    void align() {
        const auto address = reinterpret_cast<std::uintptr_t>(m_at);
        m_at += (4 - address % 4) % 4;
    }
    std::wstring name() {
        const std::uint16_t first = word();
        if (first == 0xFFFF) {
            return L"#" + std::to_wstring(word());
        }
        std::wstring text;
        for (std::uint16_t c = first; c != 0; c = word()) {
            text += static_cast<wchar_t>(c);
        }
        return text;
    }
    static std::wstring upper(std::wstring text) {
        if (text == L"#128") {
            return L"BUTTON"; // the predefined class by ordinal
        }
        for (wchar_t& c : text) {
            c = static_cast<wchar_t>(towupper(c));
        }
        return text;
    }

    const std::uint8_t* m_at;
};

class PoolTemplates : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryExW(L"poolscope.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr) << "poolscope.dll is not beside the test";
    }
    void TearDown() override {
        if (m_module != nullptr) {
            FreeLibrary(m_module);
        }
    }
    dialog_template read(WORD id) {
        const HRSRC resource = FindResourceW(m_module, MAKEINTRESOURCEW(id), RT_DIALOG);
        EXPECT_NE(resource, nullptr) << "no template " << id;
        if (resource == nullptr) {
            return {};
        }
        const auto* data =
            static_cast<const std::uint8_t*>(LockResource(LoadResource(m_module, resource)));
        return template_reader(data).read();
    }

    HMODULE m_module = nullptr;
};

constexpr std::uint32_t k_font_styles = DS_SETFONT | DS_FIXEDSYS | DS_3DLOOK;

TEST_F(PoolTemplates, PoolWindow105) {
    const dialog_template t = read(105);
    EXPECT_EQ(t.style, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | k_font_styles);
    EXPECT_EQ(t.style & (WS_VISIBLE | DS_CENTER), 0u);
    EXPECT_EQ(t.cx, 372);
    EXPECT_EQ(t.cy, 166);
    EXPECT_EQ(t.title, L"Metadata Pool Statistics");
    EXPECT_EQ(t.font, L"MS Shell Dlg");
    EXPECT_EQ(t.point_size, 8);
    ASSERT_EQ(t.controls.size(), 2u);

    const control_template& tab = t.controls[0];
    EXPECT_EQ(tab.id, 1001u);
    EXPECT_EQ(tab.class_name, L"SYSTABCONTROL32");
    EXPECT_EQ(tab.style, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    EXPECT_EQ((std::vector<short>{tab.x, tab.y, tab.cx, tab.cy}),
              (std::vector<short>{4, 4, 364, 138}));

    const control_template& close = t.controls[1];
    EXPECT_EQ(close.id, 2u);
    EXPECT_EQ(close.class_name, L"BUTTON");
    EXPECT_EQ(close.text, L"&Close");
    EXPECT_EQ(close.style, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
    EXPECT_EQ((std::vector<short>{close.x, close.y, close.cx, close.cy}),
              (std::vector<short>{316, 148, 50, 14}));
}

TEST_F(PoolTemplates, PagesAreHiddenChildrenFilledByOneList) {
    for (WORD id : {106, 107}) {
        SCOPED_TRACE("template " + std::to_string(id));
        const dialog_template t = read(id);
        EXPECT_EQ(t.style, WS_CHILD | k_font_styles);
        EXPECT_EQ(t.ex_style, static_cast<std::uint32_t>(WS_EX_CONTROLPARENT));
        EXPECT_EQ(t.cx, 186);
        EXPECT_EQ(t.cy, 95);
        EXPECT_EQ(t.font, L"MS Shell Dlg");
        EXPECT_EQ(t.point_size, 8);
        ASSERT_EQ(t.controls.size(), 1u);
        const control_template& list = t.controls[0];
        EXPECT_EQ(list.id, 1004u);
        EXPECT_EQ(list.class_name, L"SYSLISTVIEW32");
        EXPECT_EQ(list.ex_style, static_cast<std::uint32_t>(WS_EX_CLIENTEDGE));
        EXPECT_EQ((std::vector<short>{list.x, list.y, list.cx, list.cy}),
                  (std::vector<short>{0, 0, 185, 94}));
        const std::uint32_t common =
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT;
        // Only the length page keeps the header from acting as buttons; only
        // the value page's list asks its page for the cells.
        EXPECT_EQ(list.style, id == 106 ? (common | LVS_NOSORTHEADER) : (common | LVS_OWNERDATA));
    }
}

} // namespace
