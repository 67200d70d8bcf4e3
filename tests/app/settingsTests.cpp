// Start-up, shutdown and what survives from one run to the next.
#include <algorithm>
#include "quorvDriver.h"

namespace {

std::string dword(DWORD value)
{
    return std::string((const char*)&value, 4);
}

std::string position(LONG left, LONG top)
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

bool autoCopyChecked(HWND window)
{
    return SendDlgItemMessageA(window, IDC_AUTO_COPY, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

TEST_CASE("the first start, and the options and position a restart brings back")
{
    RECT centred;
    {
        QuorvSession session;
        HWND window = session.window;
        CHECK_FALSE(autoCopyChecked(window));
        CHECK_FALSE(topmost(window));
        centred = windowRect(window);
        PostMessageA(window, WM_SYSCOMMAND, IDM_ALWAYS_ON_TOP, 0);
        CHECK(waitUntil([&] { return topmost(window); }));
        REQUIRE(pressButton(window, IDC_AUTO_COPY));
        CHECK(waitUntil([&] { return autoCopyChecked(window); }));
        SetWindowPos(window, 0, -5, 40, 600, 500, SWP_NOZORDER);
        CHECK(waitUntil([&] { return windowRect(window).left == -5; }));
    }
    DWORD types[3] = {};
    CHECK_EQ(Bytes(readSetting("AlwaysOnTop", &types[0])), Bytes(dword(1)));
    CHECK_EQ(Bytes(readSetting("AutoCopy", &types[1])), Bytes(dword(1)));
    CHECK_EQ(Bytes(readSetting("WindowPos", &types[2])), Bytes(position(-5, 40)));
    CHECK((types[0] == REG_DWORD && types[1] == REG_DWORD && types[2] == REG_BINARY));

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
    CHECK(autoCopyChecked(again.window));
}

TEST_CASE("stored values are kept until the user changes them; a position of the wrong size is ignored")
{
    RECT centred;
    {
        QuorvSession session;
        centred = windowRect(session.window);
    }
    DWORD seven = 7;
    writeSetting("AutoCopy", REG_DWORD, &seven, 4);
    writeSetting("WindowPos", REG_BINARY, position(100, 120).data(), 8);
    {
        QuorvSession session("Quorv.exe", false);
        CHECK(autoCopyChecked(session.window));
        CHECK_FALSE(topmost(session.window));
        CHECK_EQ(windowRect(session.window).left, 100);
        // Closed while minimised: the earlier position stays.
        ShowWindow(session.window, SW_MINIMIZE);
        CHECK(waitUntil([&] { return IsIconic(session.window) != 0; }));
    }
    CHECK_EQ(Bytes(readSetting("AutoCopy")), Bytes(dword(7)));
    CHECK_EQ(Bytes(readSetting("WindowPos")), Bytes(position(100, 120)));
    {
        QuorvSession session("Quorv.exe", false);
        REQUIRE(pressButton(session.window, IDC_AUTO_COPY));
        CHECK(waitUntil([&] { return !autoCopyChecked(session.window); }));
    }
    CHECK_EQ(Bytes(readSetting("AutoCopy")), Bytes(dword(0)));

    const char wrong[12] = { 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0 };
    writeSetting("WindowPos", REG_BINARY, wrong, sizeof wrong);
    QuorvSession session("Quorv.exe", false);
    CHECK_EQ(windowRect(session.window).left, centred.left);
    CHECK_EQ(windowRect(session.window).top, centred.top);
}

TEST_CASE("start-up without memory shows the out-of-memory message alone and touches no registry")
{
    deleteProductKeys();
    DrivenProgram quorv;
    REQUIRE(startProgram(&quorv, "QuorvNoMemory.exe", 0));
    startMessageBoxWatcher(quorv.process.dwProcessId);
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 10000);
    CHECK_EQ(endProgram(&quorv), 0);
    stopMessageBoxWatcher();
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_EQ(Bytes(boxes[0].text.substr(0, 7)), Bytes(inLanguage("Quorvel", "Dem Quo")));
    CHECK_EQ(boxes[0].owner, (HWND)0);
    CHECK_FALSE(keyExists("Software\\Velmora"));
}
