// The About box: what it says, where it opens, and how it closes.
#include "quorvSession.h"

namespace {

struct AboutSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK findAboutBox(HWND window, LPARAM parameter)
{
    AboutSearch* search = (AboutSearch*)parameter;
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner && GetDlgItem(window, 1048)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND openAboutBox(HWND window)
{
    systemCommand(window, 9999);
    AboutSearch search = { window, 0 };
    waitUntil([&] {
        EnumWindows(findAboutBox, (LPARAM)&search);
        return search.found != 0;
    });
    return search.found;
}

RECT windowRect(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

}  // namespace

TEST_CASE("the About box shows the version, the copyright and the contact points")
{
    QuorvSession session;
    HWND about = openAboutBox(session.window);
    REQUIRE(about);
    CHECK_EQ(Bytes(windowText(about)), Bytes(inLanguage("About Quorvel", "\xDC" "ber Quorvel")));
    CHECK_EQ(Bytes(controlText(about, 1048)), Bytes("Quorvel 1.21 Release"));
    CHECK_EQ(Bytes(controlText(about, 1012)), Bytes("Copyright \xA9 1999-2026,  Velmora"));
    CHECK_EQ(Bytes(controlText(about, 1156)), Bytes("support@velmora.example"));

    // Centred over the main window.
    RECT main = windowRect(session.window);
    RECT box = windowRect(about);
    CHECK_EQ(box.left, main.left + ((main.right - main.left) - (box.right - box.left)) / 2);
    CHECK_EQ(box.top, main.top + ((main.bottom - main.top) - (box.bottom - box.top)) / 2);

    // The contact buttons hand their address to the system and leave the box open.
    REQUIRE(pressButton(about, 1151));
    REQUIRE(pressButton(about, 1154));
    Sleep(500);
    CHECK(IsWindowVisible(about));

    REQUIRE(pressButton(about, IDOK));
    CHECK(waitUntil([&] { return !IsWindow(about); }));
}

TEST_CASE("the About box stays on the screen and closes with Enter and Escape")
{
    QuorvSession session;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT main = windowRect(session.window);
    int width = main.right - main.left;
    int height = main.bottom - main.top;

    struct {
        const char* name;
        int x, y;
        bool left, top, right, bottom;
        WPARAM key;
    } cases[] = {
        { "half off the left and top edges", -width / 2 - 100, -height / 2 - 100, true, true, false, false, VK_RETURN },
        { "half off the right and bottom edges", screenWidth - width / 2 + 100, screenHeight - height / 2 + 100, false,
          false, true, true, VK_ESCAPE },
    };
    for (const auto& c : cases) {
        CAPTURE(c.name);
        SetWindowPos(session.window, 0, c.x, c.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        HWND about = openAboutBox(session.window);
        REQUIRE(about);
        RECT box = windowRect(about);
        if (c.left)
            CHECK_EQ(box.left, 0);
        if (c.top)
            CHECK_EQ(box.top, 0);
        if (c.right)
            CHECK_EQ(box.right, screenWidth);
        if (c.bottom)
            CHECK_EQ(box.bottom, screenHeight);
        PostMessageA(about, WM_KEYDOWN, c.key, 1);
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
