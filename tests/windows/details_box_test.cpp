// The message box with details on Win32, looked at from outside while it is open: the details
// hidden behind "Show Details...", then shown in columns that line up, one line per line, and a
// box that can be made larger with its pane growing along.
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/message_box.h"
#include "framework/win32/win32_api.h"

using namespace linkmate;

namespace {

struct Found {
    HWND box = nullptr;
    HWND toggle = nullptr;
    HWND details = nullptr;
};

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

Found FindBox(const wchar_t* caption) {
    Found found;
    found.box = FindWindowW(L"#32770", caption);
    if (found.box == nullptr) return found;
    EnumChildWindows(
        found.box,
        [](HWND child, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<Found*>(data);
            wchar_t kind[16] = {};
            GetClassNameW(child, kind, 16);
            if (lstrcmpiW(kind, L"Edit") == 0) f->details = child;
            if (lstrcmpiW(kind, L"Button") == 0 &&
                TextOf(child).find(L"Details") != std::wstring::npos)
                f->toggle = child;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

int Width(HDC dc, const wchar_t* text) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return size.cx;
}

SIZE SizeOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

TEST(DetailsBox, ShowsItsDetailsFixedWidthUnwrappedAndResizable) {
    const std::string longLine(300, '7');
    bool looked = false;
    fw::Timer later;
    later.Start(std::chrono::milliseconds(200), false, [&] {
        const Found f = FindBox(L"Trace");
        ASSERT_NE(f.box, nullptr);
        // Closed however this ends.
        struct Close {
            HWND box;
            ~Close() { PostMessageW(box, WM_COMMAND, 1 /* OK */, 0); }
        } close{f.box};
        ASSERT_NE(f.toggle, nullptr);
        ASSERT_NE(f.details, nullptr);
        EXPECT_EQ(TextOf(f.toggle), L"Show Details...");
        EXPECT_FALSE(IsWindowVisible(f.details));
        const SIZE collapsed = SizeOf(f.box);

        SendMessageW(f.toggle, BM_CLICK, 0, 0);
        EXPECT_EQ(TextOf(f.toggle), L"Hide Details...");
        EXPECT_TRUE(IsWindowVisible(f.details));
        const SIZE expanded = SizeOf(f.box);
        EXPECT_GT(expanded.cy, collapsed.cy);

        const HDC dc = GetDC(f.details);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(f.details, WM_GETFONT, 0, 0)));
        EXPECT_EQ(Width(dc, L"iiii"), Width(dc, L"MMMM"));
        ReleaseDC(f.details, dc);
        EXPECT_EQ(SendMessageW(f.details, EM_GETLINECOUNT, 0, 0), 3);

        EXPECT_NE(GetWindowLongW(f.box, GWL_STYLE) & WS_THICKFRAME, 0);
        const SIZE pane = SizeOf(f.details);
        SetWindowPos(f.box, nullptr, 0, 0, expanded.cx + 120, expanded.cy + 80,
                     SWP_NOMOVE | SWP_NOZORDER);
        const SIZE grown = SizeOf(f.details);
        EXPECT_EQ(grown.cx, pane.cx + 120);
        EXPECT_EQ(grown.cy, pane.cy + 80);

        SendMessageW(f.toggle, BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindowVisible(f.details));
        EXPECT_EQ(SizeOf(f.box).cy, collapsed.cy);
        looked = true;
    });
    fw::MessageBox(nullptr, "The converter did not answer.", "Trace", fw::MessageIcon::kExclamation,
                   "Check the cable.",
                   "attempt 1: 55 AA 03\n" + longLine + "\nattempt 3: no reply");
    EXPECT_TRUE(looked);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const fw::Application app(argv, "details_box_test", "0");
    return RUN_ALL_TESTS();
}
