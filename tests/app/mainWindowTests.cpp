// The main window without the network: the language row, the input box,
// Swap, the system menu, Escape and the layout.
#include "quorvDriver.h"

namespace {

std::string name(int language)
{
    const char* english[] = { "English", "French", "German", "Italian", "Portuguese", "Spanish" };
    const char* german[] = { "Englisch", "Franz\xF6sisch", "Deutsch", "Italienisch", "Portugiesisch", "Spanisch" };
    return inLanguage(english[language], german[language]);
}

enum { ENGLISH, FRENCH, GERMAN, ITALIAN, PORTUGUESE, SPANISH };

void checkRow(HWND window, int from, int to, const char* heading, int line)
{
    INFO("language row expected by line ", line);
    CHECK_EQ(Bytes(listEntry(window, IDC_FROM_LIST)), Bytes(name(from)));
    CHECK_EQ(Bytes(listEntry(window, IDC_TO_LIST)), Bytes(name(to)));
    CHECK_EQ(Bytes(controlText(window, IDC_TARGET_HEADING)), Bytes(heading));
}
#define CHECK_ROW(from, to, heading) checkRow(window, from, to, heading, __LINE__)

void choose(HWND window, int list, int language)
{
    REQUIRE(chooseLanguage(window, list, name(language).c_str()));
}

bool closeTo(COLORREF colour, int red, int green, int blue)
{
    return abs(GetRValue(colour) - red) < 60 && abs(GetGValue(colour) - green) < 60 && abs(GetBValue(colour) - blue) < 60;
}

}  // namespace

TEST_CASE("the language row offers the pairs of the service and remembers a target per source")
{
    QuorvSession session;
    HWND window = session.window;
    CHECK_EQ(listCount(window, IDC_FROM_LIST), 6);
    CHECK_EQ(Bytes(listEntry(window, IDC_FROM_LIST, 1)), Bytes(name(FRENCH)));
    CHECK_EQ(listCount(window, IDC_TO_LIST), 5);
    CHECK_ROW(ENGLISH, FRENCH, "En Fran\xE7" "ais:");

    // United States by the hoist of the From flag; France (blue hoist, red fly) in To.
    CHECK(closeTo(controlPixel(window, IDC_TO_FLAG, 29, 10), 237, 41, 57));
    CHECK(closeTo(controlPixel(window, IDC_TO_FLAG, 2, 16), 0, 35, 149));
    CHECK_FALSE(closeTo(controlPixel(window, IDC_FROM_FLAG, 2, 16), 0, 35, 149));

    choose(window, IDC_FROM_LIST, GERMAN);
    CHECK_EQ(listCount(window, IDC_TO_LIST), 1);
    CHECK_ROW(GERMAN, ENGLISH, "In English:");
    choose(window, IDC_FROM_LIST, ENGLISH);
    choose(window, IDC_TO_LIST, ITALIAN);
    choose(window, IDC_FROM_LIST, GERMAN);
    choose(window, IDC_FROM_LIST, ENGLISH);
    CHECK_ROW(ENGLISH, ITALIAN, "In Italiano:");
}

TEST_CASE("the input box, Translate and Swap")
{
    QuorvSession session;
    HWND window = session.window;
    CHECK_FALSE(isEnabled(window, IDC_TRANSLATE));
    typeCharacter(window, 'a');
    CHECK(isEnabled(window, IDC_TRANSLATE));
    typeCharacter(window, '\b');
    CHECK_FALSE(isEnabled(window, IDC_TRANSLATE));

    // Enter inserts a line break; the 1024th character is refused, typed or pasted.
    typeText(window, "one");
    typeCharacter(window, '\r');
    typeCharacter(window, 't');
    CHECK_EQ(Bytes(controlText(window, IDC_INPUT)), Bytes("one\r\nt"));
    typeText(window, std::string(1023, 'x'));
    typeCharacter(window, 'y');
    CHECK_EQ(controlText(window, IDC_INPUT).size(), 1023u);
    typeText(window, std::string(1030, 'z'));
    CHECK_EQ(controlText(window, IDC_INPUT), std::string(1023, 'z'));

    // Swap exchanges the languages and empties both boxes; it records
    // English as Spanish's target and keeps Spanish as English's.
    choose(window, IDC_TO_LIST, SPANISH);
    SetDlgItemTextA(window, IDC_RESULT, "old result");
    REQUIRE(pressButton(window, IDC_SWAP));
    CHECK(waitUntil([&] { return controlText(window, IDC_INPUT).empty(); }));
    CHECK_EQ(Bytes(controlText(window, IDC_RESULT)), Bytes(""));
    CHECK_FALSE(isEnabled(window, IDC_TRANSLATE));
    CHECK_ROW(SPANISH, ENGLISH, "In English:");
    REQUIRE(pressButton(window, IDC_SWAP));
    CHECK(waitUntil([&] { return listEntry(window, IDC_FROM_LIST) == name(ENGLISH); }));
    REQUIRE(pressButton(window, IDC_SWAP));
    CHECK(waitUntil([&] { return listEntry(window, IDC_FROM_LIST) == name(SPANISH); }));
    choose(window, IDC_FROM_LIST, ENGLISH);
    CHECK_ROW(ENGLISH, SPANISH, "En Espa\xF1" "ol:");
}

TEST_CASE("Always On Top, Maximize and Escape")
{
    QuorvSession session;
    HWND window = session.window;
    auto topmost = [&] { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    REQUIRE_NE(systemMenuItem(&session, SC_MAXIMIZE), -1);
    CHECK((systemMenuItem(&session, SC_MAXIMIZE) & MF_GRAYED) != 0);
    CHECK_FALSE((systemMenuItem(&session, SC_CLOSE) & MF_GRAYED) != 0);

    // Twice returns to normal; the check mark follows.
    for (bool on : { true, false }) {
        PostMessageA(window, WM_SYSCOMMAND, IDM_ALWAYS_ON_TOP, 0);
        CHECK(waitUntil([&] { return topmost() == on; }));
        CHECK_EQ((systemMenuItem(&session, IDM_ALWAYS_ON_TOP) & MF_CHECKED) != 0, on);
    }

    // Escape, in the input box or as a command, leaves the window open.
    typeText(window, "keep me");
    PostMessageA(GetDlgItem(window, IDC_INPUT), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    Sleep(300);
    CHECK(IsWindowVisible(window));
    CHECK_EQ(Bytes(controlText(window, IDC_INPUT)), Bytes("keep me"));
}

TEST_CASE("the controls follow the window's size, also after a minimise")
{
    QuorvSession session;
    HWND window = session.window;
    struct {
        int id;
        int right, down, wider, taller;
    } controls[] = {
        { IDC_SEPARATOR, 0, 0, 1, 0 }, { IDC_RESULT, 0, 0, 1, 1 },  { IDC_INPUT, 0, 0, 1, 0 },
        { IDC_TRANSLATE, 1, 0, 0, 0 }, { IDC_SWAP, 1, 1, 0, 0 },    { IDC_ABORT, 1, 1, 0, 0 },
        { IDC_STATUS_LABEL, 0, 1, 0, 0 }, { IDC_STATUS_LINE, 0, 1, 0, 0 }, { IDC_FROM_LIST, 0, 0, 0, 0 },
        { IDC_TO_FLAG, 0, 0, 0, 0 },   { IDC_AUTO_COPY, 0, 0, 0, 0 },
    };
    auto resize = [&](int dx, int dy) {
        RECT rect;
        GetWindowRect(window, &rect);
        SetWindowPos(window, 0, 0, 0, rect.right - rect.left + dx, rect.bottom - rect.top + dy, SWP_NOMOVE | SWP_NOZORDER);
        Sleep(200);
    };
    // The layout applies from the first change of size on.
    resize(1, 1);
    RECT before[sizeof controls / sizeof controls[0]];
    for (size_t i = 0; i < sizeof controls / sizeof controls[0]; ++i)
        before[i] = controlRect(window, controls[i].id);
    resize(100, 50);
    for (size_t i = 0; i < sizeof controls / sizeof controls[0]; ++i) {
        const auto& c = controls[i];
        RECT r = controlRect(window, c.id);
        CAPTURE(c.id);
        CHECK_EQ(r.left, before[i].left + 100 * c.right);
        CHECK_EQ(r.right, before[i].right + 100 * (c.right | c.wider));
        CHECK_EQ(r.top, before[i].top + 50 * c.down);
        CHECK_EQ(r.bottom, before[i].bottom + 50 * (c.down | c.taller));
        before[i] = r;
    }

    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_RESTORE);
    Sleep(200);
    for (size_t i = 0; i < sizeof controls / sizeof controls[0]; ++i) {
        RECT r = controlRect(window, controls[i].id);
        CAPTURE(controls[i].id);
        CHECK((r.left == before[i].left && r.top == before[i].top && r.right == before[i].right
               && r.bottom == before[i].bottom));
    }
}
