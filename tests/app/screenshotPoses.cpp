// Not a test: the windows posed for the pictures in the README. Run by
// scripts/take-screenshots, which photographs each pose when its file
// appears beside this program and deletes the file when done.
#include "quorvSession.h"

namespace {

void pose(const char* name, HWND window)
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    wsprintfA(strrchr(path, '\\') + 1, "pose-%s.ready", name);
    RECT rect;
    GetWindowRect(window, &rect);
    char geometry[64];
    int length = wsprintfA(geometry, "%dx%d+%d+%d\n", (int)(rect.right - rect.left), (int)(rect.bottom - rect.top),
                           (int)rect.left, (int)rect.top);
    Sleep(500);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    DWORD written;
    WriteFile(file, geometry, length, &written, 0);
    CloseHandle(file);
    waitUntil([&] { return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES; }, 30000);
}

HWND findAboutBox()
{
    HWND found = 0;
    waitUntil([&] {
        found = FindWindowA("#32770", inLanguage("About Quorvel", "\xDC" "ber Quorvel"));
        return found != 0 && IsWindowVisible(found);
    });
    return found;
}

}  // namespace

TEST_CASE("poses for the README" * doctest::skip(true))
{
    QuorvSession session;
    HWND window = session.window;
    REQUIRE(chooseLanguage(window, 1001, inLanguage("Spanish", "Spanisch")));
    typeText(window, "The weather is fine today.\r\nWe are going to the beach with our friends.");
    REQUIRE(pressButton(window, 1005));
    waitUntil([&] { return !controlText(window, 1002).empty(); }, 10000);
    pose("main", window);
    systemCommand(window, 9999);
    HWND about = findAboutBox();
    REQUIRE(about);
    pose("about", about);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
}
