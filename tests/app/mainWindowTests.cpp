// The main window without the network: the language row, the input box,
// Swap and Escape.
#include "quorvDriver.h"

namespace {

enum { ENGLISH, FRENCH, GERMAN, ITALIAN, PORTUGUESE, SPANISH };

// The row as a user sees it: From (a position of all six), To (a position of
// the source's targets) and the target's heading.
void checkRow(HWND window, int from, int to, const char* heading, int line)
{
    INFO("language row expected by line ", line);
    CHECK_EQ(selected(window, IDC_FROM_LIST), from);
    CHECK_EQ(selected(window, IDC_TO_LIST), to);
    CHECK_EQ(Bytes(controlText(window, IDC_TARGET_HEADING)), Bytes(heading));
}
#define CHECK_ROW(from, to, heading) checkRow(window, from, to, heading, __LINE__)

}  // namespace

TEST_CASE("the language row, the input box, Swap and Escape")
{
    QuorvSession session;
    HWND window = session.window;
    CHECK_EQ(listCount(window, IDC_FROM_LIST), 6);
    CHECK_EQ(listCount(window, IDC_TO_LIST), 5);
    CHECK_EQ(Bytes(controlText(window, IDC_FROM_LIST)), Bytes(inLanguage("English", "Englisch")));
    CHECK_ROW(ENGLISH, 0, "En Fran\xE7" "ais:");
    // German goes only into English; each source keeps the target chosen for it.
    chooseEntry(window, IDC_FROM_LIST, GERMAN);
    CHECK_EQ(listCount(window, IDC_TO_LIST), 1);
    CHECK_ROW(GERMAN, 0, "In English:");
    chooseEntry(window, IDC_FROM_LIST, ENGLISH);
    chooseEntry(window, IDC_TO_LIST, ITALIAN - 1);
    chooseEntry(window, IDC_FROM_LIST, GERMAN);
    chooseEntry(window, IDC_FROM_LIST, ENGLISH);
    CHECK_ROW(ENGLISH, ITALIAN - 1, "In Italiano:");

    // Translate needs a text; the 1024th character is refused, typed or pasted.
    CHECK_FALSE(isEnabled(window, IDC_TRANSLATE));
    typeCharacter(window, 'x');
    CHECK(isEnabled(window, IDC_TRANSLATE));
    typeText(window, std::string(1030, 'z'));
    typeCharacter(window, 'y');
    CHECK_EQ(controlText(window, IDC_INPUT), std::string(1023, 'z'));

    // Swap exchanges the languages and empties both boxes.
    chooseEntry(window, IDC_TO_LIST, SPANISH - 1);
    SetDlgItemTextA(window, IDC_RESULT, "old result");
    REQUIRE(pressButton(window, IDC_SWAP));
    CHECK(waitUntil([&] { return controlText(window, IDC_INPUT).empty(); }));
    CHECK_EQ(Bytes(controlText(window, IDC_RESULT)), Bytes(""));
    CHECK_FALSE(isEnabled(window, IDC_TRANSLATE));
    CHECK_ROW(SPANISH, 0, "In English:");

    // Escape, in the input box or as a command, leaves the window open.
    typeText(window, "keep me");
    PostMessageA(GetDlgItem(window, IDC_INPUT), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    CHECK(handlePosted(window, IDC_INPUT));
    CHECK(IsWindowVisible(window));
    CHECK_EQ(Bytes(controlText(window, IDC_INPUT)), Bytes("keep me"));
}

TEST_CASE("the controls follow the window's size down to its smallest, where none covers another")
{
    QuorvSession session;
    HWND window = session.window;
    auto rectOf = [&](int id) {
        RECT rect;
        GetWindowRect(GetDlgItem(window, id), &rect);
        MapWindowPoints(0, window, (POINT*)&rect, 2);
        return rect;
    };
    SetWindowPos(window, 0, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(window, &client);
    for (int id : { IDC_SEPARATOR, IDC_INPUT, IDC_RESULT, IDC_TRANSLATE, IDC_SWAP })
        CHECK_EQ(rectOf(id).right, client.right - rectOf(IDC_INPUT).left);
    CHECK_LE(rectOf(IDC_TO_LIST).right, rectOf(IDC_TRANSLATE).left);
    CHECK_LE(rectOf(IDC_STATUS_LINE).right, rectOf(IDC_ABORT).left);
    CHECK_LE(rectOf(IDC_ABORT).right, rectOf(IDC_SWAP).left);
    CHECK_EQ(rectOf(IDC_ABORT).top, rectOf(IDC_SWAP).top);
    CHECK_LT(rectOf(IDC_RESULT).bottom, rectOf(IDC_STATUS_LINE).top);
    CHECK_LE(rectOf(IDC_SWAP).bottom, client.bottom);
}
