// The main window without the network: input, language row, options menu,
// keyboard and layout.
#include "quorvSession.h"

namespace {

const char* const englishNames[] = { "English", "French", "German", "Italian", "Portuguese", "Spanish" };
const char* const germanNames[] = { "Englisch", "Franz\xF6sisch", "Deutsch", "Italienisch", "Portugiesisch", "Spanisch" };

std::string name(int language)
{
    return inLanguage(englishNames[language], germanNames[language]);
}

enum { ENGLISH, FRENCH, GERMAN, ITALIAN, PORTUGUESE, SPANISH };

void checkRow(HWND window, int from, int to, const char* heading, int line)
{
    INFO("language row expected by line ", line);
    CHECK_EQ(Bytes(selectedEntry(window, 1000)), Bytes(name(from)));
    CHECK_EQ(Bytes(selectedEntry(window, 1001)), Bytes(name(to)));
    CHECK_EQ(Bytes(controlText(window, 1024)), Bytes(heading));
}
#define CHECK_ROW(from, to, heading) checkRow(session.window, from, to, heading, __LINE__)

void choose(HWND window, int list, int language)
{
    REQUIRE(chooseLanguage(window, list, name(language).c_str()));
}

// The flags are told apart by two pixels: one near the hoist, one near the fly.
struct FlagColours {
    COLORREF hoist, fly;
};

FlagColours flagColours(HWND window, int id)
{
    return { controlPixel(window, id, 2, 16), controlPixel(window, id, 29, 10) };
}

bool closeTo(COLORREF colour, int red, int green, int blue)
{
    return abs(GetRValue(colour) - red) < 60 && abs(GetGValue(colour) - green) < 60 && abs(GetBValue(colour) - blue) < 60;
}

}  // namespace

TEST_CASE("the language row offers exactly the pairs of the service")
{
    QuorvSession session;
    std::vector<std::string> sources = listEntries(session.window, 1000);
    REQUIRE_EQ(sources.size(), 6u);
    for (int i = 0; i < 6; ++i)
        CHECK_EQ(Bytes(sources[i]), Bytes(name(i)));
    std::vector<std::string> targets = listEntries(session.window, 1001);
    REQUIRE_EQ(targets.size(), 5u);
    for (int i = 0; i < 5; ++i)
        CHECK_EQ(Bytes(targets[i]), Bytes(name(i + 1)));
    CHECK_ROW(ENGLISH, FRENCH, "En Fran\xE7" "ais:");

    // United States by the hoist (red and white stripes), France at the fly (red).
    FlagColours from = flagColours(session.window, 1011);
    FlagColours to = flagColours(session.window, 1012);
    CHECK(closeTo(to.fly, 237, 41, 57));
    CHECK(closeTo(to.hoist, 0, 35, 149));
    CHECK_FALSE(closeTo(from.hoist, 0, 35, 149));

    choose(session.window, 1000, GERMAN);
    CHECK_EQ(listEntries(session.window, 1001).size(), 1u);
    CHECK_ROW(GERMAN, ENGLISH, "In English:");

    // Each source remembers the target last chosen with it.
    choose(session.window, 1000, ENGLISH);
    choose(session.window, 1001, ITALIAN);
    CHECK_ROW(ENGLISH, ITALIAN, "In Italiano:");
    choose(session.window, 1000, GERMAN);
    choose(session.window, 1000, ENGLISH);
    CHECK_ROW(ENGLISH, ITALIAN, "In Italiano:");
}

TEST_CASE("the input box, Translate and Swap")
{
    QuorvSession session;
    HWND window = session.window;
    CHECK_FALSE(isEnabled(window, 1005));
    typeCharacter(window, 'a');
    CHECK(isEnabled(window, 1005));
    typeCharacter(window, '\b');
    CHECK_EQ(Bytes(controlText(window, 1006)), Bytes(""));
    CHECK_FALSE(isEnabled(window, 1005));

    // Enter inserts a line break.
    typeText(window, "one");
    typeCharacter(window, '\r');
    typeCharacter(window, 't');
    CHECK_EQ(Bytes(controlText(window, 1006)), Bytes("one\r\nt"));

    // The 1024th character is refused, typed or pasted.
    typeText(window, std::string(1023, 'x'));
    typeCharacter(window, 'y');
    CHECK_EQ(controlText(window, 1006).size(), 1023u);
    typeText(window, std::string(1030, 'z'));
    CHECK_EQ(controlText(window, 1006), std::string(1023, 'z'));

    // Swap exchanges the languages and empties both boxes.
    choose(window, 1001, SPANISH);
    SetDlgItemTextA(window, 1002, "old result");
    REQUIRE(pressButton(window, 1004));
    CHECK(waitUntil([&] { return controlText(window, 1006).empty(); }));
    CHECK_EQ(Bytes(controlText(window, 1002)), Bytes(""));
    CHECK_FALSE(isEnabled(window, 1005));
    checkRow(window, SPANISH, ENGLISH, "In English:", __LINE__);
    REQUIRE(pressButton(window, 1004));
    CHECK(waitUntil([&] { return selectedEntry(window, 1000) == name(ENGLISH); }));
    checkRow(window, ENGLISH, SPANISH, "En Espa\xF1" "ol:", __LINE__);

    // The swap recorded English as Spanish's target and kept Spanish as English's.
    REQUIRE(pressButton(window, 1004));
    CHECK(waitUntil([&] { return selectedEntry(window, 1000) == name(SPANISH); }));
    choose(window, 1000, ENGLISH);
    checkRow(window, ENGLISH, SPANISH, "En Espa\xF1" "ol:", __LINE__);
}

TEST_CASE("always on top, Maximize and Escape")
{
    QuorvSession session;
    HWND window = session.window;
    QuorvProcess* quorv = &session.quorv;
    auto topmost = [&] { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    std::string text;
    REQUIRE_NE(systemMenuItem(quorv, 9998, &text), -1);
    CHECK_EQ(Bytes(text), Bytes(inLanguage("&Always On Top", "Immer im &Vordergrund")));
    systemMenuItem(quorv, 9999, &text);
    CHECK_EQ(Bytes(text), Bytes(inLanguage("About &Quorvel", "\xDC" "ber &Quorvel")));
    CHECK((systemMenuItem(quorv, SC_MAXIMIZE) & MF_GRAYED) != 0);
    CHECK_FALSE((systemMenuItem(quorv, SC_CLOSE) & MF_GRAYED) != 0);

    // Always on Top twice returns to normal; the check mark follows.
    CHECK_FALSE((systemMenuItem(quorv, 9998) & MF_CHECKED) != 0);
    systemCommand(window, 9998);
    CHECK(waitUntil(topmost));
    CHECK((systemMenuItem(quorv, 9998) & MF_CHECKED) != 0);
    systemCommand(window, 9998);
    CHECK(waitUntil([&] { return !topmost(); }));
    CHECK_FALSE((systemMenuItem(quorv, 9998) & MF_CHECKED) != 0);

    // Escape, in the input box or as a command, leaves the window open.
    typeText(window, "keep me");
    PostMessageA(control(window, 1006), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    Sleep(300);
    CHECK(IsWindowVisible(window));
    CHECK_EQ(Bytes(controlText(window, 1006)), Bytes("keep me"));
}

TEST_CASE("the controls follow the window's size")
{
    QuorvSession session;
    HWND window = session.window;
    const int ids[] = { 1020, 1002, 1006, 1005, 1004, 3, 1022, 1023, 1000, 1001, 1011, 1012, 1024, 1003 };
    RECT before[14];
    // The layout applies from the first change of size on.
    RECT window0;
    GetWindowRect(window, &window0);
    SetWindowPos(window, 0, 0, 0, window0.right - window0.left + 1, window0.bottom - window0.top + 1,
                 SWP_NOMOVE | SWP_NOZORDER);
    Sleep(200);
    for (int i = 0; i < 14; ++i)
        before[i] = controlRect(window, ids[i]);
    GetWindowRect(window, &window0);
    SetWindowPos(window, 0, 0, 0, window0.right - window0.left + 100, window0.bottom - window0.top + 50,
                 SWP_NOMOVE | SWP_NOZORDER);
    Sleep(200);
    for (int i = 0; i < 14; ++i) {
        RECT r = controlRect(window, ids[i]);
        int id = ids[i];
        CAPTURE(id);
        bool widens = id == 1020 || id == 1002 || id == 1006;
        bool movesRight = id == 1005 || id == 1004 || id == 3;
        bool movesDown = id == 1004 || id == 3 || id == 1022 || id == 1023;
        CHECK_EQ(r.left, before[i].left + (movesRight ? 100 : 0));
        CHECK_EQ(r.right, before[i].right + (movesRight || widens ? 100 : 0));
        CHECK_EQ(r.top, before[i].top + (movesDown ? 50 : 0));
        CHECK_EQ(r.bottom, before[i].bottom + (movesDown || id == 1002 ? 50 : 0));
    }
    // The bottom row's top is 30 pixels above the client area's bottom.
    RECT client;
    GetClientRect(window, &client);
    CHECK_EQ(controlRect(window, 1004).top, client.bottom - 30);

    MINMAXINFO limits = {};
    limits.ptMinTrackSize.x = 1;
    limits.ptMinTrackSize.y = 1;
    SendMessageA(window, WM_GETMINMAXINFO, 0, (LPARAM)&limits);
    CHECK_EQ(limits.ptMinTrackSize.x, 474);
    CHECK_EQ(limits.ptMinTrackSize.y, 387);

    // After minimising and restoring, the layout is that of the restored size.
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_RESTORE);
    Sleep(200);
    GetClientRect(window, &client);
    CHECK_EQ(controlRect(window, 1004).top, client.bottom - 30);
    CHECK_EQ(controlRect(window, 1002).right, client.right - controlRect(window, 1002).left);
}
