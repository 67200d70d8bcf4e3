// The About box: its version line, the addresses it opens, its bullets on
// whatever window colour the user has, and Escape.
#include <vector>
#include "fileContents.h"
#include "makerInfo.h"
#include "quorvDriver.h"
#include "version.h"

namespace {

BOOL CALLBACK collectBitmapControl(HWND child, LPARAM found)
{
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
        ((std::vector<HWND>*)found)->push_back(child);
    return TRUE;
}

COLORREF screenPixel(HWND window, int x, int y)
{
    RECT rect;
    GetWindowRect(window, &rect);
    HDC screen = GetDC(0);
    COLORREF colour = GetPixel(screen, rect.left + x, rect.top + y);
    ReleaseDC(0, screen);
    return colour;
}

// Sets the window colour for the test's programs, and puts it back.
struct WindowColour {
    COLORREF usual = GetSysColor(COLOR_WINDOW);
    explicit WindowColour(COLORREF colour) { REQUIRE(set(colour)); }
    ~WindowColour() { set(usual); }
    static BOOL set(COLORREF colour)
    {
        int element = COLOR_WINDOW;
        return SetSysColors(1, &element, &colour);
    }
};

}  // namespace

TEST_CASE("the About box: version, the contact page and mail it opens, bullets on the window colour, Escape")
{
    // Web and mail addresses go to a command that writes them down.
    const char* log = "C:\\opened.txt";
    std::string command = std::string("cmd.exe /c echo %1>>") + log;
    for (const char* key : { "http\\shell\\open\\command", "mailto\\shell\\open\\command" })
        RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, command.c_str(), (DWORD)command.size());
    DeleteFileA(log);
    const COLORREF paleYellow = RGB(255, 255, 200);
    WindowColour colour(paleYellow);

    QuorvSession session;
    PostMessageA(session.window, WM_SYSCOMMAND, IDM_ABOUT, 0);
    HWND about = waitForOwnedDialog(session.window, IDC_VERSION_LINE);
    REQUIRE(about);
    CHECK_EQ(Bytes(controlText(about, IDC_VERSION_LINE)), Bytes("Quorvel " QUORV_RELEASE_TEXT " Release"));
    std::vector<HWND> bullets;
    EnumChildWindows(about, collectBitmapControl, (LPARAM)&bullets);
    REQUIRE_EQ(bullets.size(), 2u);
    for (HWND bullet : bullets) {
        // Once the red arrow, from the second column on, is drawn, the first
        // column shows the background.
        CHECK(waitUntil([&] { return GetRValue(screenPixel(bullet, 1, 5)) > 2 * GetGValue(screenPixel(bullet, 1, 5)); }));
        CHECK_EQ(screenPixel(bullet, 0, 0), paleYellow);
    }

    // The contact page in the user's language, then a mail to support.
    std::string opened = std::string(inLanguage(MAKER_CONTACT_PAGE_ENGLISH, MAKER_CONTACT_PAGE_GERMAN)) + "\r\n";
    REQUIRE(pressButton(about, IDC_WEBSITE));
    CHECK(waitUntil([&] { return readFile(log) == opened; }, 15000));
    opened += "mailto:" MAKER_SUPPORT_ADDRESS "\r\n";
    REQUIRE(pressButton(about, IDC_EMAIL));
    CHECK(waitUntil([&] { return readFile(log) == opened; }, 15000));
    CHECK_EQ(Bytes(readFile(log)), Bytes(opened));
    PostMessageA(about, WM_KEYDOWN, VK_ESCAPE, 1);
    CHECK(waitUntil([&] { return !IsWindow(about); }));
    DeleteFileA(log);
}
