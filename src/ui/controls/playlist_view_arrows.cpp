#include "ui/controls/playlist_view_arrows.h"

namespace {

constexpr int k_arrow_width = 16;
constexpr int k_arrow_height = 15;
constexpr WORD k_shell_arrow_ids[2] = {133, 134};

void delete_arrow(HBITMAP& arrow) noexcept {
    if (arrow != nullptr) {
        DeleteObject(arrow);
        arrow = nullptr;
    }
}

// A 16x15 bitmap compatible with the screen: button face with a filled
// triangle in the button shadow colour.
HBITMAP draw_arrow(int element) noexcept {
    static const POINT up[3] = {{7, 4}, {2, 9}, {12, 9}};
    static const POINT down[3] = {{2, 4}, {7, 9}, {12, 4}};

    const HWND desktop = GetDesktopWindow();
    const HDC screen = GetDC(desktop);
    if (screen == nullptr) {
        return nullptr;
    }
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, k_arrow_width, k_arrow_height);
    if (memory != nullptr && bitmap != nullptr) {
        const HGDIOBJ old_bitmap = SelectObject(memory, bitmap);
        const RECT all{0, 0, k_arrow_width, k_arrow_height};
        FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));

        const HPEN pen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNSHADOW));
        const HGDIOBJ old_pen = SelectObject(memory, pen);
        const HGDIOBJ old_brush = SelectObject(memory, GetSysColorBrush(COLOR_BTNSHADOW));
        Polygon(memory, element == arrow_ascending ? up : down, 3);

        SelectObject(memory, old_brush);
        SelectObject(memory, old_pen);
        SelectObject(memory, old_bitmap);
        DeleteObject(pen);
    }
    if (memory != nullptr) {
        DeleteDC(memory);
    }
    ReleaseDC(desktop, screen);
    if (memory == nullptr && bitmap != nullptr) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

} // namespace

bool load_shell_sort_arrows(HBITMAP (&arrows)[2]) noexcept {
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    bool loaded_here = false;
    if (shell == nullptr) {
        shell = LoadLibraryW(L"shell32.dll");
        loaded_here = shell != nullptr;
    }
    if (shell == nullptr) {
        return false;
    }
    bool both = true;
    for (int element = 0; element < 2; ++element) {
        delete_arrow(arrows[element]);
        arrows[element] =
            static_cast<HBITMAP>(LoadImageW(shell, MAKEINTRESOURCEW(k_shell_arrow_ids[element]),
                                            IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
        if (arrows[element] == nullptr) {
            both = false;
            break;
        }
    }
    if (loaded_here) {
        FreeLibrary(shell);
    }
    return both;
}

void draw_sort_arrows(HBITMAP (&arrows)[2]) noexcept {
    for (int element = 0; element < 2; ++element) {
        delete_arrow(arrows[element]);
        arrows[element] = draw_arrow(element);
    }
}

void delete_sort_arrows(HBITMAP (&arrows)[2]) noexcept {
    delete_arrow(arrows[0]);
    delete_arrow(arrows[1]);
}
