// Start-up, shutdown and what survives from one run to the next.
#include <algorithm>
#include "quorvSession.h"

namespace {

std::string dword(DWORD value)
{
    return std::string((const char*)&value, 4);
}

std::string windowPosition(LONG left, LONG top)
{
    LONG position[2] = { left, top };
    return std::string((const char*)position, 8);
}

RECT windowRect(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

bool topmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

}  // namespace

TEST_CASE("first start with an empty registry")
{
    QuorvSession session;
    CHECK(keyExists("Software\\Velmora\\Quorvel"));
    CHECK(keyExists(SettingsKey));
    CHECK_EQ(SendMessageA(control(session.window, 1003), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    CHECK_FALSE(topmost(session.window));
    CHECK_EQ(Bytes(windowText(session.window)), Bytes("Quorvel"));
    CHECK_EQ(Bytes(controlText(session.window, 1023)), Bytes(inLanguage("Ready", "Bereit")));
    session.close();

    DWORD type = 0;
    std::string data;
    REQUIRE(readSetting("AlwaysOnTop", &type, &data));
    CHECK_EQ(type, (DWORD)REG_DWORD);
    CHECK_EQ(Bytes(data), Bytes(dword(0)));
    REQUIRE(readSetting("AutoCopy", &type, &data));
    CHECK_EQ(type, (DWORD)REG_DWORD);
    CHECK_EQ(Bytes(data), Bytes(dword(0)));
    REQUIRE(readSetting("WindowPos", &type, &data));
    CHECK_EQ(type, (DWORD)REG_BINARY);
    CHECK_EQ(data.size(), 8u);
}

TEST_CASE("options and position survive a restart")
{
    RECT centred;
    {
        QuorvSession session;
        centred = windowRect(session.window);
        systemCommand(session.window, 9998);
        CHECK(waitUntil([&] { return topmost(session.window); }));
        REQUIRE(pressButton(session.window, 1003));
        CHECK(waitUntil([&] { return SendMessageA(control(session.window, 1003), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
        SetWindowPos(session.window, 0, -5, 40, 600, 500, SWP_NOZORDER);
        CHECK(waitUntil([&] { return windowRect(session.window).left == -5; }));
    }
    DWORD type = 0;
    std::string data;
    REQUIRE(readSetting("AlwaysOnTop", &type, &data));
    CHECK_EQ(Bytes(data), Bytes(dword(1)));
    REQUIRE(readSetting("AutoCopy", &type, &data));
    CHECK_EQ(Bytes(data), Bytes(dword(1)));
    REQUIRE(readSetting("WindowPos", &type, &data));
    CHECK_EQ(Bytes(data), Bytes(windowPosition(-5, 40)));

    // Back where it was closed, even partly off the screen, with the
    // template's size; moving the window makes Wine hold it to the minimum
    // height, which the template's is below.
    QuorvSession again("Quorv.exe", false);
    RECT rect = windowRect(again.window);
    CHECK_EQ(rect.left, -5);
    CHECK_EQ(rect.top, 40);
    CHECK_EQ(rect.right - rect.left, centred.right - centred.left);
    CHECK_EQ(rect.bottom - rect.top, std::max(centred.bottom - centred.top, 387L));
    CHECK(topmost(again.window));
    CHECK_EQ(SendMessageA(control(again.window, 1003), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_CASE("stored values are kept until the user changes them")
{
    deleteProductKeys();
    DWORD seven = 7;
    writeSetting("AutoCopy", REG_DWORD, &seven, 4);
    writeSetting("WindowPos", REG_BINARY, windowPosition(100, 120).data(), 8);
    {
        QuorvSession session("Quorv.exe", false);
        CHECK_EQ(SendMessageA(control(session.window, 1003), BM_GETCHECK, 0, 0), BST_CHECKED);
        CHECK_EQ(windowRect(session.window).left, 100);
        // Closed while minimised: the earlier position stays.
        ShowWindow(session.window, SW_MINIMIZE);
        CHECK(waitUntil([&] { return IsIconic(session.window) != 0; }));
    }
    DWORD type = 0;
    std::string data;
    REQUIRE(readSetting("AutoCopy", &type, &data));
    CHECK_EQ(Bytes(data), Bytes(dword(7)));
    REQUIRE(readSetting("WindowPos", &type, &data));
    CHECK_EQ(Bytes(data), Bytes(windowPosition(100, 120)));

    {
        QuorvSession session("Quorv.exe", false);
        REQUIRE(pressButton(session.window, 1003));
        CHECK(waitUntil([&] { return SendMessageA(control(session.window, 1003), BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
    }
    REQUIRE(readSetting("AutoCopy", &type, &data));
    CHECK_EQ(Bytes(data), Bytes(dword(0)));
}

TEST_CASE("a stored position of the wrong size is ignored")
{
    RECT centred;
    {
        QuorvSession session;
        centred = windowRect(session.window);
    }
    const char wrong[12] = { 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0 };
    writeSetting("WindowPos", REG_BINARY, wrong, sizeof wrong);
    QuorvSession session("Quorv.exe", false);
    CHECK_EQ(windowRect(session.window).left, centred.left);
    CHECK_EQ(windowRect(session.window).top, centred.top);
}

TEST_CASE("start-up without memory shows message 6 alone and touches no registry")
{
    deleteProductKeys();
    QuorvProcess quorv;
    ZeroMemory(&quorv, sizeof quorv);
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    lstrcpyA(strrchr(path, '\\') + 1, "QuorvNoMemory.exe");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    REQUIRE(CreateProcessA(path, 0, 0, 0, FALSE, 0, 0, 0, &startup, &quorv.process));
    startMessageBoxWatcher(quorv.process.dwProcessId);
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 10000);
    CHECK_EQ(waitForExit(&quorv), 0);
    stopMessageBoxWatcher();
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_EQ(Bytes(boxes[0].caption), Bytes("Quorvel"));
    CHECK_EQ(Bytes(boxes[0].text),
             Bytes(inLanguage("Quorvel is out of memory.\n\nClose up some other programs and retry the operation.",
                              "Dem Quorvel stehen nicht gen\xFCgend Speicher oder Ressourcen zu Verf\xFCgung.\n\n"
                              "Schlie\xDF" "en Sie andere Programme und wiederholen Sie den Vorgang.")));
    CHECK_EQ(boxes[0].owner, (HWND)0);
    CHECK_FALSE(keyExists("Software\\Velmora"));
}
