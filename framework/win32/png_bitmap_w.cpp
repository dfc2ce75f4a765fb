// Pictures kept as PNG resources (RCDATA), decoded by GDI+, which every Windows has.
#include "framework/win32/png_bitmap_w.h"

#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include "framework/win32/message_loop_w.h"

namespace linkmate::fw::win32 {

HBITMAP LoadPngBitmap(int resource, int dpi) {
    const HRSRC found =
        FindResourceW(Instance(), MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    const HGLOBAL loaded = found ? LoadResource(Instance(), found) : nullptr;
    const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (bytes == nullptr) return nullptr;
    static const ULONG_PTR token = [] {
        ULONG_PTR t = 0;
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&t, &input, nullptr);
        return t;
    }();
    (void)token;
    IStream* stream = SHCreateMemStream(bytes, SizeofResource(Instance(), found));
    if (stream == nullptr) return nullptr;
    HBITMAP bitmap = nullptr;
    {
        Gdiplus::Bitmap image(stream);
        // Transparent parts take the dialog's face colour, as a static picture shows them.
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const Gdiplus::Color background(GetRValue(face), GetGValue(face), GetBValue(face));
        if (image.GetLastStatus() == Gdiplus::Ok && dpi == 96) {
            image.GetHBITMAP(background, &bitmap);
        } else if (image.GetLastStatus() == Gdiplus::Ok) {
            const INT width = MulDiv(static_cast<int>(image.GetWidth()), dpi, 96);
            const INT height = MulDiv(static_cast<int>(image.GetHeight()), dpi, 96);
            Gdiplus::Bitmap scaled(width, height, PixelFormat32bppARGB);
            Gdiplus::Graphics graphics(&scaled);
            graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            graphics.DrawImage(&image, 0, 0, width, height);
            scaled.GetHBITMAP(background, &bitmap);
        }
    }
    stream->Release();
    return bitmap;
}

}  // namespace linkmate::fw::win32
