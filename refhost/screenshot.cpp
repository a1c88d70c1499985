#include "refhost/screenshot.h"

#include <cstdint>
#include <vector>

#include "refhost/config_stream.h"

namespace refhost {

bool save_window_bitmap(HWND window, const std::wstring& path, std::string& error) {
    if (!IsWindow(window)) {
        error = "no such window";
        return false;
    }
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) {
        error = "the window has no area";
        return false;
    }
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = bitmap != nullptr && bits != nullptr;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, old);
    }
    std::vector<std::uint8_t> file;
    if (ok) {
        const std::uint32_t image = static_cast<std::uint32_t>(width) * height * 4;
        BITMAPFILEHEADER head{};
        head.bfType = 0x4D42; // "BM"
        head.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        head.bfSize = head.bfOffBits + image;
        const auto* h = reinterpret_cast<const std::uint8_t*>(&head);
        const auto* b = reinterpret_cast<const std::uint8_t*>(&info.bmiHeader);
        const auto* p = static_cast<const std::uint8_t*>(bits);
        file.insert(file.end(), h, h + sizeof head);
        file.insert(file.end(), b, b + sizeof(BITMAPINFOHEADER));
        file.insert(file.end(), p, p + image);
    } else {
        error = "capturing the window failed";
    }
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(window, source);
    return ok && write_file_bytes(path, file, error);
}

} // namespace refhost
