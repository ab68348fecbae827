#pragma once
// A bitmap the chart tests draw on and read back pixel by pixel.
#include "TmChart/ChartTypes.h"
#include "platform/Handles.h"

#include <cstdint>

namespace fake {

// A 32-bit top-down bitmap the test can read.
class Surface {
public:
    Surface(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<const std::uint32_t*>(bits);
        dc_.Reset(::CreateCompatibleDC(nullptr));
        previous_ = ::SelectObject(dc_.Get(), bitmap_.Get());
    }
    ~Surface() { ::SelectObject(dc_.Get(), previous_); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC Dc() const { return dc_.Get(); }

    // What the window shows now.
    void CopyFrom(HWND window) {
        HDC screen = ::GetDC(window);
        ::BitBlt(Dc(), 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
        ::ReleaseDC(window, screen);
    }

    tmchart::TColor Pixel(int x, int y) const {
        std::uint32_t v = bits_[y * width_ + x];
        return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
    }

    int Count(tmchart::TColor color, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += Pixel(x, y) == color;
        return n;
    }
    int Count(tmchart::TColor color) const { return Count(color, 0, 0, width_, height_); }

private:
    int width_, height_;
    platform::UniqueGdiObject bitmap_;
    platform::UniqueMemoryDc dc_;
    HGDIOBJ previous_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
};

} // namespace fake
