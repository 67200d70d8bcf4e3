// The About box: what it says, the addresses it opens, where it opens and
// how it closes.
#include "fileContents.h"
#include "makerInfo.h"
#include "quorvDriver.h"

namespace {

HWND openAboutBox(HWND owner)
{
    PostMessageA(owner, WM_SYSCOMMAND, IDM_ABOUT, 0);
    return waitForOwnedDialog(owner, IDC_VERSION_LINE);
}

RECT windowRect(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

}  // namespace

TEST_CASE("the About box: version, copyright, the contact addresses it opens, its place, Enter and Escape")
{
    // Web and mail addresses go to a command that writes them down.
    const char* log = "C:\\opened.txt";
    std::string command = std::string("cmd.exe /c echo %1>>") + log;
    for (const char* key : { "http\\shell\\open\\command", "mailto\\shell\\open\\command" })
        RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, command.c_str(), (DWORD)command.size());
    DeleteFileA(log);

    QuorvSession session;
    HWND about = openAboutBox(session.window);
    REQUIRE(about);
    CHECK_EQ(Bytes(controlText(about, IDC_VERSION_LINE)), Bytes("Quorvel 1.21 Release"));
    CHECK_EQ(Bytes(controlText(about, IDC_COPYRIGHT_LINE)), Bytes("Copyright \xA9 1999-2026,  Velmora"));
    CHECK_EQ(Bytes(controlText(about, IDC_ADDRESS_LINE)), Bytes(MAKER_SUPPORT_ADDRESS));
    RECT main = windowRect(session.window);
    RECT box = windowRect(about);
    CHECK_EQ(box.left, main.left + ((main.right - main.left) - (box.right - box.left)) / 2);
    CHECK_EQ(box.top, main.top + ((main.bottom - main.top) - (box.bottom - box.top)) / 2);

    // The contact page in the user's language, then a mail to support; the box stays open.
    std::string opened = std::string(inLanguage(MAKER_CONTACT_PAGE_ENGLISH, MAKER_CONTACT_PAGE_GERMAN)) + "\r\n";
    REQUIRE(pressButton(about, IDC_WEBSITE));
    CHECK(waitUntil([&] { return readFile(log) == opened; }));
    opened += "mailto:" MAKER_SUPPORT_ADDRESS "\r\n";
    REQUIRE(pressButton(about, IDC_EMAIL));
    CHECK(waitUntil([&] { return readFile(log) == opened; }));
    CHECK_EQ(Bytes(readFile(log)), Bytes(opened));
    REQUIRE(pressButton(about, IDOK));
    CHECK(waitUntil([&] { return !IsWindow(about); }));
    DeleteFileA(log);

    // Over a main window half off the screen, the box keeps to the screen's edge.
    int width = main.right - main.left;
    int height = main.bottom - main.top;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    for (bool topLeft : { true, false }) {
        CAPTURE(topLeft);
        int x = topLeft ? -width / 2 - 100 : screenWidth - width / 2 + 100;
        int y = topLeft ? -height / 2 - 100 : screenHeight - height / 2 + 100;
        SetWindowPos(session.window, 0, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        about = openAboutBox(session.window);
        REQUIRE(about);
        box = windowRect(about);
        CHECK_EQ(topLeft ? box.left : box.right, topLeft ? 0 : screenWidth);
        CHECK_EQ(topLeft ? box.top : box.bottom, topLeft ? 0 : screenHeight);
        PostMessageA(about, WM_KEYDOWN, topLeft ? VK_RETURN : VK_ESCAPE, 1);
        CHECK(waitUntil([&] { return !IsWindow(about); }));
    }
}

namespace {

BOOL CALLBACK collectBitmapControl(HWND child, LPARAM found)
{
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
        ((std::vector<HWND>*)found)->push_back(child);
    return TRUE;
}

COLORREF screenPixel(HWND window, int x, int y)
{
    RECT rect = windowRect(window);
    HDC screen = GetDC(0);
    COLORREF colour = GetPixel(screen, rect.left + x, rect.top + y);
    ReleaseDC(0, screen);
    return colour;
}

// Sets the window colour for the test's programs, and puts it back.
struct WindowColour {
    COLORREF usual;
    explicit WindowColour(COLORREF colour) : usual(GetSysColor(COLOR_WINDOW)) { REQUIRE(set(colour)); }
    ~WindowColour() { set(usual); }
    static BOOL set(COLORREF colour)
    {
        int element = COLOR_WINDOW;
        return SetSysColors(1, &element, &colour);
    }
};

}  // namespace

TEST_CASE("the bullets sit on the window colour, whatever it is")
{
    const COLORREF paleYellow = RGB(255, 255, 200);
    WindowColour colour(paleYellow);
    QuorvSession session;
    HWND about = openAboutBox(session.window);
    REQUIRE(about);
    std::vector<HWND> bullets;
    EnumChildWindows(about, collectBitmapControl, (LPARAM)&bullets);
    REQUIRE_EQ(bullets.size(), 2u);
    for (HWND bullet : bullets) {
        // Once the red arrow, from the second column on, is drawn, the first
        // column shows the background.
        CHECK(waitUntil([&] {
            COLORREF arrow = screenPixel(bullet, 1, 5);
            return GetRValue(arrow) > 2 * GetGValue(arrow);
        }));
        CHECK_EQ(screenPixel(bullet, 0, 0), paleYellow);
    }
    PostMessageA(about, WM_KEYDOWN, VK_ESCAPE, 1);
    CHECK(waitUntil([&] { return !IsWindow(about); }));
}
