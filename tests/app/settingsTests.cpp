// Start-up, shutdown and what survives from one run to the next.
#include "quorvDriver.h"

namespace {

const char* const SettingsKey = "Software\\Velmora\\Quorvel\\Settings";

// The value's bytes if it has the type, else what it is.
std::string setting(const char* name, DWORD expectedType)
{
    char buffer[64];
    DWORD size = sizeof buffer, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_ANY, &type, buffer, &size) != ERROR_SUCCESS)
        return "<missing>";
    return type == expectedType ? std::string(buffer, size) : "<wrong type>";
}
std::string bytes(std::initializer_list<LONG> values) { return std::string((const char*)values.begin(), values.size() * 4); }
LONG windowLeft(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.left;
}

}  // namespace

TEST_CASE("the options and the position a restart brings back; stored values stay until the user changes them")
{
    {
        QuorvSession session;
        CHECK_FALSE((autoCopyChecked(session.window) || topmost(session.window)));
        REQUIRE(pressButton(session.window, IDC_AUTO_COPY));
        SetWindowPos(session.window, 0, -5, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        CHECK(waitUntil([&] { return autoCopyChecked(session.window) && windowLeft(session.window) == -5; }));
    }
    CHECK_EQ(Bytes(setting("AlwaysOnTop", REG_DWORD)), Bytes(bytes({ 0 })));
    CHECK_EQ(Bytes(setting("AutoCopy", REG_DWORD)), Bytes(bytes({ 1 })));
    CHECK_EQ(Bytes(setting("WindowPos", REG_BINARY)), Bytes(bytes({ -5, 40 })));

    // Back where it was, even partly off the screen. Closed while minimised,
    // it keeps the earlier position.
    RegSetKeyValueA(HKEY_CURRENT_USER, SettingsKey, "AutoCopy", REG_DWORD, bytes({ 7 }).data(), 4);
    {
        QuorvSession session("Quorv.exe", false);
        CHECK((autoCopyChecked(session.window) && !topmost(session.window)));
        CHECK_EQ(windowLeft(session.window), -5);
        PostMessageA(session.window, WM_SYSCOMMAND, IDM_ALWAYS_ON_TOP, 0);
        ShowWindow(session.window, SW_MINIMIZE);
        CHECK(waitUntil([&] { return IsIconic(session.window) && topmost(session.window); }));
    }
    CHECK_EQ(Bytes(setting("AutoCopy", REG_DWORD)), Bytes(bytes({ 7 })));
    CHECK_EQ(Bytes(setting("WindowPos", REG_BINARY)), Bytes(bytes({ -5, 40 })));
    QuorvSession session("Quorv.exe", false);
    CHECK(topmost(session.window));
}

TEST_CASE("a stored position off every monitor opens the window inside the work area")
{
    RECT area, window;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    for (LONG corner : { -5000, 30000 }) {
        CAPTURE(corner);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velmora");
        RegSetKeyValueA(HKEY_CURRENT_USER, SettingsKey, "WindowPos", REG_BINARY, bytes({ corner, corner }).data(), 8);
        QuorvSession session("Quorv.exe", false);
        GetWindowRect(session.window, &window);
        CHECK((window.left >= area.left && window.top >= area.top && window.right <= area.right
               && window.bottom <= area.bottom));
    }
}

TEST_CASE("start-up without memory shows the out-of-memory message alone and touches no registry")
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velmora");
    DrivenProgram quorv;
    REQUIRE(startProgram(&quorv, "QuorvNoMemory.exe", 0));
    startMessageBoxWatcher(quorv.process.dwProcessId);
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 10000);
    CHECK_EQ(endProgram(&quorv), 0);
    stopMessageBoxWatcher();
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_EQ(Bytes(boxes[0].text.substr(0, 7)), Bytes(inLanguage("Quorvel", "Dem Quo")));
    CHECK_EQ(boxes[0].owner, (HWND)0);
    HKEY key;
    CHECK_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Velmora", 0, KEY_READ, &key), ERROR_SUCCESS);
}
