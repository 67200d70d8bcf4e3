// Plays the user of Setup.exe: starts it from a release folder, moves
// through the sheet by its buttons, answers its dialogs, and checks the
// disk, the Recycle Bin, the links, the registry and the programs started.
#include <doctest/doctest.h>
#include <algorithm>
#include <set>
#include <stdio.h>
#include <string>
#include <vector>
#include "bytes.h"
#include "shellChecks.h"
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

enum Page { WELCOME = 0, FOLDER = 1, LINKS = 2, STEPS = 3, FINISH = 4 };
enum { STEP_DONE = 0, STEP_SKIPPED = 1, STEP_FAILED = 3, STEP_NONE = 255 };
enum { BACK_BUTTON = 0x3023, NEXT_BUTTON = 0x3024, FINISH_BUTTON = 0x3025 };
static const int rowControls[3] = { 1034, 1035, 1036 };
static const int rowLabels[3] = { 1031, 1039, 1055 };

static const std::string release = "C:\\release\\";
static const std::string tools = "C:\\tools\\";
static const char appPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quorv.exe";

static std::string ownFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

// The release folder as it ships, with a stand-in for Quorv.exe that logs
// its start, and names that a faithful copy must keep.
static void prepareRelease()
{
    removeTree(release);
    makeFolders(release + "more docs");
    CopyFileA((ownFolder() + "Setup.exe").c_str(), (release + "Setup.exe").c_str(), FALSE);
    CopyFileA((ownFolder() + "launchRecorder.exe").c_str(), (release + "Quorv.exe").c_str(), FALSE);
    writeFile(release + "Readme.txt", "Quorvel\r\n=======\r\n");
    writeFile(release + "more docs\\language pairs.txt", std::string(70000, 'p'));
    writeFile(release + "empty file.dat", "");
}

// Text files open with the recorder, so that the readme's opening is seen.
static void recordTextFileOpening()
{
    makeFolders(tools);
    CopyFileA((ownFolder() + "launchRecorder.exe").c_str(), (tools + "launchRecorder.exe").c_str(), FALSE);
    RegSetValueA(HKEY_CLASSES_ROOT, ".txt", REG_SZ, "QuorvTestText", 13);
    std::string command = "\"" + tools + "launchRecorder.exe\" readme \"%1\"";
    RegSetValueA(HKEY_CLASSES_ROOT, "QuorvTestText\\shell\\open\\command", REG_SZ, command.c_str(),
                 (DWORD)command.size());
}

// A listing as one line, so that a failed check shows it.
static std::string joined(const std::vector<std::string>& names)
{
    std::string line;
    for (const std::string& name : names)
        line += (line.empty() ? "" : " | ") + name;
    return line;
}

static std::string desktopLink() { return specialFolder(CSIDL_DESKTOPDIRECTORY) + "Quorvel.lnk"; }
static std::string startMenuLink() { return specialFolder(CSIDL_STARTMENU) + "Quorvel.lnk"; }
static std::string programGroup() { return specialFolder(CSIDL_PROGRAMS) + "Quorvel\\"; }

static int binAtStart;

// Items put into the Recycle Bin since the case began.
static int newlyRecycled()
{
    return recycleBinCount() - binAtStart;
}

// Everything an earlier case may have left goes before each case.
static void resetMachine()
{
    static int once;
    if (!once++) {
        OleInitialize(0);
        recordTextFileOpening();
    }
    removeTree("C:\\Quorvel");
    removeTree("C:\\Target");
    DeleteFileA(desktopLink().c_str());
    DeleteFileA(startMenuLink().c_str());
    removeTree(programGroup());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
    DeleteFileA("C:\\launches.log");
    prepareRelease();
    binAtStart = recycleBinCount();
}

struct SeenDialog {
    std::string caption;
    std::string text;
};

// One running Setup.exe and what its dialogs said.
struct SetupRun {
    PROCESS_INFORMATION process;
    HWND sheet;
    int answerNo;  // press No where a dialog offers it, else OK or Yes
    std::vector<SeenDialog> dialogs;
    std::set<HWND> answered;
};

static SetupRun run;

static BOOL CALLBACK collectStatic(HWND child, LPARAM text)
{
    char className[32];
    char value[1024];
    GetClassNameA(child, className, sizeof className);
    if (!lstrcmpiA(className, "Static") && GetWindowTextA(child, value, sizeof value) > 0)
        *(std::string*)text += std::string(((std::string*)text)->empty() ? "" : "\n") + value;
    return TRUE;
}

static BOOL CALLBACK answerDialog(HWND window, LPARAM)
{
    DWORD owner = 0;
    char className[32];
    GetWindowThreadProcessId(window, &owner);
    if (owner != run.process.dwProcessId || window == run.sheet || !IsWindowVisible(window)
        || !GetClassNameA(window, className, sizeof className) || lstrcmpA(className, "#32770")
        || run.answered.count(window))
        return TRUE;
    int button = run.answerNo && GetDlgItem(window, IDNO) ? IDNO
        : GetDlgItem(window, IDOK)                       ? IDOK
        : GetDlgItem(window, IDYES)                      ? IDYES
                                                         : 0;
    if (!button)
        return TRUE;
    SeenDialog dialog;
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    dialog.caption = caption;
    EnumChildWindows(window, collectStatic, (LPARAM)&dialog.text);
    run.dialogs.push_back(dialog);
    run.answered.insert(window);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(window, button));
    return TRUE;
}

template <class Condition> static int waitFor(Condition condition, DWORD timeout = 15000)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        EnumWindows(answerDialog, 0);
        if (condition())
            return 1;
        Sleep(20);
    }
    return 0;
}

static BOOL CALLBACK findSheet(HWND window, LPARAM)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == run.process.dwProcessId && IsWindowVisible(window) && GetDlgItem(window, NEXT_BUTTON)) {
        run.sheet = window;
        return FALSE;
    }
    return TRUE;
}

static int startSetup(const std::string& path)
{
    run.process = {};
    run.sheet = 0;
    run.answerNo = 0;
    run.dialogs.clear();
    run.answered.clear();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(path.c_str(), 0, 0, 0, FALSE, 0, 0, "C:\\", &startup, &run.process))
        return 0;
    return waitFor([] { return !EnumWindows(findSheet, 0) && run.sheet; });
}

static int ended(DWORD timeout = 10000)
{
    return waitFor([] { return WaitForSingleObject(run.process.hProcess, 0) == WAIT_OBJECT_0; }, timeout);
}

static void closeRun()
{
    if (WaitForSingleObject(run.process.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(run.process.hProcess, 1);
    CloseHandle(run.process.hProcess);
    CloseHandle(run.process.hThread);
}

static LRESULT ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return (LRESULT)result;
}

static HWND currentPage()
{
    return (HWND)ask(run.sheet, PSM_GETCURRENTPAGEHWND);
}

static int pageIndex()
{
    HWND page = currentPage();
    return page ? (int)ask(run.sheet, PSM_HWNDTOINDEX, (WPARAM)page) : -1;
}

static int waitForPage(int index)
{
    return waitFor([index] { return pageIndex() == index; });
}

static int buttonReady(int id)
{
    HWND button = GetDlgItem(run.sheet, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

// Presses a sheet button the way a user can: only when it is there and enabled.
static int press(int id)
{
    if (!waitFor([id] { return buttonReady(id); }, 3000))
        return 0;
    PostMessageA(run.sheet, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(run.sheet, id));
    return 1;
}

static std::string controlText(HWND page, int id)
{
    char text[1024] = "";
    ask(GetDlgItem(page, id), WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

static int rowState(int row)
{
    return GetWindowLongA(GetDlgItem(currentPage(), rowControls[row]), 0);
}

struct Choices {
    std::string folder;  // empty: keep the proposal
    int answerNo = 0;    // to the questions of the shell
    int desktop = -1, startMenuRoot = -1, group = -1;  // -1: keep
};

struct Outcome {
    std::string proposal;
    int rowsBefore[2];
    int labelsEnabled;
    int reached;  // the page shown once the installation ended
    int rows[3];
    DWORD installMilliseconds;  // from Next on the steps page to the page reached
};

static void setCheck(HWND page, int id, int value)
{
    if (value >= 0)
        ask(GetDlgItem(page, id), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED);
}

// From the welcome page through Next on the steps page.
static Outcome installWith(const std::string& setupPath, const Choices& choices)
{
    Outcome outcome = {};
    outcome.reached = -1;
    REQUIRE(startSetup(setupPath));
    run.answerNo = choices.answerNo;
    REQUIRE(waitForPage(WELCOME));
    // The page sets its buttons by a posted message: wait for it to arrive.
    CHECK(waitFor([] { return buttonReady(NEXT_BUTTON) && !buttonReady(BACK_BUTTON); }, 3000));
    REQUIRE(press(NEXT_BUTTON));
    REQUIRE(waitForPage(FOLDER));
    outcome.proposal = controlText(currentPage(), 1006);
    if (!choices.folder.empty())
        ask(GetDlgItem(currentPage(), 1006), WM_SETTEXT, 0, (LPARAM)choices.folder.c_str());
    REQUIRE(press(NEXT_BUTTON));
    REQUIRE(waitForPage(LINKS));
    setCheck(currentPage(), 1052, choices.desktop);
    setCheck(currentPage(), 1051, choices.startMenuRoot);
    setCheck(currentPage(), 1053, choices.group);
    REQUIRE(press(NEXT_BUTTON));
    REQUIRE(waitForPage(STEPS));
    outcome.rowsBefore[0] = rowState(0);
    outcome.rowsBefore[1] = rowState(1);
    outcome.labelsEnabled = IsWindowEnabled(GetDlgItem(currentPage(), rowLabels[0]))
        + IsWindowEnabled(GetDlgItem(currentPage(), rowLabels[1]));
    REQUIRE(press(NEXT_BUTTON));
    DWORD pressed = GetTickCount();
    // Done when the finish page shows, or when a failed row shows and the
    // sheet answers again with no dialog open (a box owned by the sheet
    // disables it).
    waitFor([] {
        if (pageIndex() == FINISH)
            return true;
        if (rowState(0) != STEP_FAILED && rowState(1) != STEP_FAILED)
            return false;
        Sleep(100);
        return pageIndex() == STEPS && buttonReady(NEXT_BUTTON) && IsWindowEnabled(run.sheet);
    });
    outcome.reached = pageIndex();
    outcome.installMilliseconds = GetTickCount() - pressed;
    HWND page = (HWND)ask(run.sheet, PSM_INDEXTOHWND, STEPS);
    for (int row = 0; row < 3; ++row)
        outcome.rows[row] = GetWindowLongA(GetDlgItem(page, rowControls[row]), 0);
    return outcome;
}

// Leaves the finish page by Finish with the two boxes as given.
static void finishWith(int showReadme, int runProgram)
{
    REQUIRE_EQ(pageIndex(), FINISH);
    CHECK(waitFor([] { return buttonReady(FINISH_BUTTON) && !buttonReady(BACK_BUTTON); }, 3000));
    setCheck(currentPage(), 1010, showReadme);
    setCheck(currentPage(), 1005, runProgram);
    REQUIRE(press(FINISH_BUTTON));
    CHECK(ended());
    closeRun();
}

static std::string registryValue(const char* name)
{
    char value[MAX_PATH] = "<missing>";
    DWORD size = sizeof value;
    DWORD type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, appPathsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, name, 0, &type, (BYTE*)value, &size) != ERROR_SUCCESS || type != REG_SZ)
            lstrcpyA(value, "<unreadable>");
        RegCloseKey(key);
    }
    return value;
}

static void checkLink(const std::string& path, const std::string& target)
{
    LinkInfo link = readLink(path);
    CHECK_MESSAGE(link.loaded, path);
    CHECK_EQ(link.target, target);
    CHECK_EQ(link.description, "");
    CHECK_EQ(link.iconPath, "");
}

static std::vector<std::string> launches()
{
    std::vector<std::string> lines;
    std::string log = readFile("C:\\launches.log");
    if (log == "<missing>")
        return lines;
    for (size_t at = 0, end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(log.substr(at, end - at));
    return lines;
}

static std::string language()
{
    char value[16] = "";
    GetEnvironmentVariableA("QUORV_EXPECT_LANGUAGE", value, sizeof value);
    return value;
}

// With QUORV_SCREENSHOTS naming a folder, the sheet as it shows now is
// saved there as a bitmap, for the documentation.
static void saveScreenshot(const char* name)
{
    char folder[MAX_PATH];
    if (!GetEnvironmentVariableA("QUORV_SCREENSHOTS", folder, MAX_PATH))
        return;
    Sleep(300);
    RECT frame;
    GetWindowRect(run.sheet, &frame);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    HDC screen = GetDC(0);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = 0;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, 0, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    GdiFlush();
    DWORD size = ((width * 3 + 3) & ~3) * height;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + size;
    writeFile(std::string(folder) + "\\" + language() + "-" + name + ".bmp",
              std::string((char*)&header, sizeof header) + std::string((char*)&info.bmiHeader, sizeof info.bmiHeader)
                  + std::string((char*)bits, size));
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(0, screen);
}

static BOOL CALLBACK collectText(HWND child, LPARAM texts)
{
    char text[1024] = "";
    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, 0);
    ((std::set<std::string>*)texts)->insert(text);
    return TRUE;
}

static std::set<std::string> pageTexts()
{
    std::set<std::string> texts;
    EnumChildWindows(currentPage(), collectText, (LPARAM)&texts);
    return texts;
}

TEST_CASE("every page speaks the user's language")
{
    struct Expected {
        int page;
        const char* english;
        const char* german;
    };
    const Expected expected[] = {
        { WELCOME, "Quorvel v1.21", "Quorvel v1.21" },
        { WELCOME, "Translates from several languages to English and back.",
          "\xDC" "bersetzt von mehreren Sprachen ins Englische und zur\xFC" "ck." },
        { WELCOME, "Thank you for trying Quorvel!", "Vielen Dank, dass Sie Quorvel ausprobieren!" },
        { FOLDER, "About 200 KB of disk space are required.",
          "Ungef\xE4hr 200 KB Speicherplatz auf dem Datentr\xE4ger werden ben\xF6tigt." },
        { FOLDER, "&Change folder...", "&Ordner \xE4ndern..." },
        { LINKS, "In the &root of the start menu", "In der '&Wurzel' des Startmen\xFCs" },
        { LINKS, "In the &start menu (strongly recommended)", "Im &Startmen\xFC (empfohlen)" },
        { STEPS, "Emptying installation folder. ", "Leere Installationsordner. " },
        { STEPS, "Creating links.", "Erstelle Verkn\xFCpfungen." },
        { STEPS, "Quorvel is ready to be installed. Click 'Next' to begin the installation.",
          "Das Setup-Programm ist bereit Quorvel zu installieren.\r\n\r\nKlicken Sie 'Weiter', um zu beginnen." },
        { FINISH, "&Show readme file", "&Readme-Datei anzeigen" },
        { FINISH, "Run &Quorvel", "&Quorvel ausf\xFChren" },
    };
    const char* pageNames[] = { "welcome", "folder", "links", "steps", "finish" };
    int german = language() == "de";
    resetMachine();
    REQUIRE(startSetup(release + "Setup.exe"));
    char title[256] = "";
    GetWindowTextA(run.sheet, title, sizeof title);
    CHECK_EQ(Bytes(title), Bytes("Quorvel - Installation"));
    for (int page = WELCOME; page <= FINISH; ++page) {
        CAPTURE(page);
        REQUIRE(waitForPage(page));
        saveScreenshot(pageNames[page]);
        std::set<std::string> texts = pageTexts();
        for (const Expected& text : expected)
            if (text.page == page) {
                std::string wanted = german ? text.german : text.english;
                CHECK_MESSAGE(texts.count(wanted), Bytes(wanted).value);
            }
        if (page < FINISH)
            REQUIRE(press(NEXT_BUTTON));
    }
    REQUIRE(press(IDCANCEL));
    CHECK(ended());
    closeRun();
}

TEST_CASE("a first installation copies everything and makes the chosen links")
{
    resetMachine();
    Outcome outcome = installWith(release + "Setup.exe", Choices());
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string expectedFolder = std::string(windows, std::string(windows).rfind('\\') + 1) + "Quorvel\\";
    CHECK_EQ(outcome.proposal, expectedFolder);
    CHECK_EQ(outcome.rowsBefore[0], STEP_NONE);
    CHECK_EQ(outcome.labelsEnabled, 2);
    REQUIRE_EQ(outcome.reached, FINISH);
    CHECK_EQ(outcome.rows[0], STEP_DONE);
    CHECK_EQ(outcome.rows[1], STEP_DONE);
    CHECK_EQ(outcome.rows[2], STEP_DONE);
    CHECK(run.dialogs.empty());
    finishWith(0, 0);

    CHECK_EQ(hashTree(expectedFolder), hashTree(release));
    CHECK_EQ(listTree(expectedFolder).size(), 6u);
    checkLink(desktopLink(), expectedFolder + "Quorv.exe");
    checkLink(programGroup() + "Quorvel.lnk", expectedFolder + "Quorv.exe");
    checkLink(programGroup() + "Readme.txt.lnk", expectedFolder + "Readme.txt");
    CHECK_EQ(listTree(programGroup()).size(), 2u);
    CHECK_FALSE(fileExists(startMenuLink()));
    CHECK_EQ(registryValue(""), expectedFolder + "Quorv.exe");
    CHECK_EQ(registryValue("Path"), expectedFolder);
    CHECK_EQ(newlyRecycled(), 0);
    CHECK(launches().empty());
}

TEST_CASE("run again from the installed folder, setup only makes links and records the folder")
{
    resetMachine();
    installWith(release + "Setup.exe", Choices());
    finishWith(0, 0);
    writeFile("C:\\Quorvel\\settings of mine.txt", "kept");
    writeFile(programGroup() + "Old link.lnk", "from an earlier run");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
    Choices noDesktop;
    noDesktop.desktop = 0;
    noDesktop.folder = "c:\\QUORVEL";

    SUBCASE("the desktop link goes and the group is emptied before it is filled again")
    {
        Outcome outcome = installWith("C:\\Quorvel\\Setup.exe", noDesktop);
        CHECK_EQ(outcome.rowsBefore[0], STEP_SKIPPED);
        CHECK_EQ(outcome.rowsBefore[1], STEP_SKIPPED);
        CHECK_EQ(outcome.labelsEnabled, 0);
        REQUIRE_EQ(outcome.reached, FINISH);
        CHECK_EQ(outcome.rows[0], STEP_SKIPPED);
        CHECK_EQ(outcome.rows[1], STEP_SKIPPED);
        CHECK_EQ(outcome.rows[2], STEP_DONE);
        finishWith(0, 0);
        CHECK_EQ(readFile("C:\\Quorvel\\settings of mine.txt"), "kept");
        CHECK_FALSE(fileExists(desktopLink()));
        CHECK_EQ(joined(listTree(programGroup())), "Quorvel.lnk | Readme.txt.lnk");
        // The group's earlier contents went to the Recycle Bin.
        CHECK_EQ(newlyRecycled(), 3);
        CHECK_EQ(registryValue("Path"), "c:\\QUORVEL\\");
        CHECK_EQ(registryValue(""), "c:\\QUORVEL\\Quorv.exe");
    }
    SUBCASE("clearing the group box removes the whole group")
    {
        Choices noGroup;
        noGroup.group = 0;
        Outcome outcome = installWith("C:\\Quorvel\\Setup.exe", noGroup);
        CHECK_EQ(outcome.proposal, "C:\\Quorvel\\");
        REQUIRE_EQ(outcome.reached, FINISH);
        CHECK_EQ(outcome.rows[2], STEP_DONE);
        finishWith(0, 0);
        CHECK_FALSE(fileExists(programGroup()));
        CHECK(fileExists(desktopLink()));
        CHECK_EQ(readFile("C:\\Quorvel\\settings of mine.txt"), "kept");
        CHECK_EQ(newlyRecycled(), 0);
    }
}

TEST_CASE("an existing folder is emptied into the Recycle Bin before the copy")
{
    resetMachine();
    makeFolders("C:\\Target\\old folder");
    writeFile("C:\\Target\\old folder\\old.txt", "old");
    writeFile("C:\\Target\\Quorv.exe", "an older program");
    Choices choices;
    choices.folder = "C:/Target";
    Outcome outcome = installWith(release + "Setup.exe", choices);
    REQUIRE_EQ(outcome.reached, FINISH);
    finishWith(0, 0);
    CHECK_EQ(hashTree("C:\\Target\\"), hashTree(release));
    CHECK_EQ(newlyRecycled(), 2);
    CHECK_EQ(registryValue("Path"), "C:\\Target\\");
}

TEST_CASE("without a Recycle Bin, nothing is deleted for good unless the user agrees")
{
    resetMachine();
    REQUIRE_EQ(recycleBinCount(), 0);
    makeFolders("C:\\Target");
    writeFile("C:\\Target\\mine.txt", "mine");
    Choices choices;
    choices.folder = "C:\\Target";

    SUBCASE("No keeps the files and fails the emptying")
    {
        choices.answerNo = 1;
        Outcome outcome = installWith(release + "Setup.exe", choices);
        CHECK_EQ(outcome.reached, STEPS);
        CHECK_EQ(outcome.rows[0], STEP_FAILED);
        CHECK_EQ(outcome.rows[1], STEP_NONE);
        CHECK_EQ(run.dialogs.size(), 1u);
        REQUIRE(press(IDCANCEL));
        CHECK(ended());
        closeRun();
        CHECK_EQ(joined(listTree("C:\\Target\\")), "mine.txt");
        CHECK_EQ(registryValue("Path"), "<missing>");
    }
    SUBCASE("Yes deletes them and the installation goes on")
    {
        Outcome outcome = installWith(release + "Setup.exe", choices);
        REQUIRE_EQ(outcome.reached, FINISH);
        CHECK_EQ(run.dialogs.size(), 1u);
        finishWith(0, 0);
        CHECK_EQ(hashTree("C:\\Target\\"), hashTree(release));
    }
}

TEST_CASE("a special folder without a path fails its own link, and the others are made")
{
    resetMachine();
    static const char shellFolders[] =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    HKEY key;
    REQUIRE_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, shellFolders, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    char saved[MAX_PATH] = "";
    DWORD size = sizeof saved;
    RegQueryValueExA(key, "Start Menu", 0, 0, (BYTE*)saved, &size);
    RegSetValueExA(key, "Start Menu", 0, REG_EXPAND_SZ, (const BYTE*)"Q:\\Nowhere", 12);
    Choices everywhere;
    everywhere.startMenuRoot = 1;

    Outcome outcome = installWith(release + "Setup.exe", everywhere);
    RegSetValueExA(key, "Start Menu", 0, REG_EXPAND_SZ, (const BYTE*)saved, lstrlenA(saved) + 1);
    RegCloseKey(key);
    REQUIRE_EQ(outcome.reached, FINISH);
    CHECK_EQ(outcome.rows[2], STEP_FAILED);
    finishWith(0, 0);
    checkLink(desktopLink(), "C:\\Quorvel\\Quorv.exe");
    CHECK_EQ(joined(listTree(programGroup())), "Quorvel.lnk | Readme.txt.lnk");
    CHECK_FALSE(fileExists(startMenuLink()));
    // Nothing of the failed place lands in the current folder or beside setup.
    CHECK_FALSE(fileExists("C:\\Quorvel.lnk"));
    CHECK_FALSE(fileExists(release + "Quorvel.lnk"));
    CHECK_FALSE(fileExists("C:\\Quorvel\\Quorvel.lnk"));
    CHECK_EQ(registryValue("Path"), "C:\\Quorvel\\");
}

TEST_CASE("a refused folder stops at the steps page with nothing touched")
{
    resetMachine();
    writeFile("C:\\sentinel.txt", "keep");
    std::vector<std::string> before = listTree("C:\\", 0);
    Choices choices;
    choices.folder = "C:";
    Outcome outcome = installWith(release + "Setup.exe", choices);
    CHECK_EQ(outcome.reached, STEPS);
    CHECK_EQ(outcome.rows[0], STEP_FAILED);
    CHECK_EQ(outcome.rows[1], STEP_NONE);
    REQUIRE_EQ(run.dialogs.size(), 1u);
    CHECK_EQ(run.dialogs[0].caption, "Quorvel");
    CHECK_EQ(run.dialogs[0].text, "You cannot install Quorvel in the root of a drive!");
    saveScreenshot("steps-refused");
    // Back and forward again: the row starts over.
    REQUIRE(press(BACK_BUTTON));
    REQUIRE(waitForPage(LINKS));
    REQUIRE(press(NEXT_BUTTON));
    REQUIRE(waitForPage(STEPS));
    CHECK_EQ(rowState(0), STEP_NONE);
    REQUIRE(press(IDCANCEL));
    CHECK(ended());
    closeRun();
    CHECK_EQ(listTree("C:\\", 0), before);
    CHECK_EQ(readFile("C:\\sentinel.txt"), "keep");
    CHECK_EQ(newlyRecycled(), 0);
    CHECK_EQ(registryValue("Path"), "<missing>");
    CHECK_FALSE(fileExists(desktopLink()));
    DeleteFileA("C:\\sentinel.txt");
}

// The shell of this system copies the other files and reports success;
// setup finds the gap itself.
TEST_CASE("a failed copy fails its row and writes no links or registry values")
{
    resetMachine();
    HANDLE locked = CreateFileA((release + "Readme.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, 0,
                                OPEN_EXISTING, 0, 0);
    REQUIRE(locked != INVALID_HANDLE_VALUE);
    Outcome outcome = installWith(release + "Setup.exe", Choices());
    CloseHandle(locked);
    CHECK_EQ(outcome.reached, STEPS);
    CHECK_EQ(outcome.rows[0], STEP_DONE);
    CHECK_EQ(outcome.rows[1], STEP_FAILED);
    CHECK_EQ(outcome.rows[2], STEP_NONE);
    REQUIRE_EQ(run.dialogs.size(), 1u);
    CHECK_EQ(run.dialogs[0].text,
             "Not every file could be copied to 'C:\\Quorvel\\'. Close the programs that may be using them and try again.");
    REQUIRE(press(IDCANCEL));
    CHECK(ended());
    closeRun();
    CHECK_FALSE(fileExists(desktopLink()));
    CHECK_FALSE(fileExists(programGroup()));
    CHECK_EQ(registryValue("Path"), "<missing>");
}

TEST_CASE("Finish starts Quorv.exe first, then opens the readme; Cancel starts nothing")
{
    resetMachine();
    installWith(release + "Setup.exe", Choices());
    SUBCASE("Finish with both boxes checked")
    {
        finishWith(1, 1);
        CHECK(waitFor([] { return launches().size() == 2; }));
        // Which started first, by the creation times that the system recorded;
        // started by the desktop's shell, not with setup's raised rights.
        std::string programStarted, readmeStarted;
        for (std::string line : launches()) {
            CHECK_EQ(line.substr(line.rfind(' ') + 1), "explorer.exe");
            line.erase(line.rfind(' '));
            std::string name = line.substr(0, line.rfind(' '));
            std::string created = line.substr(line.rfind(' ') + 1);
            if (name == "C:\\Quorvel\\Quorv.exe")
                programStarted = created;
            else if (name == "readme C:\\Quorvel\\Readme.txt")
                readmeStarted = created;
        }
        REQUIRE_FALSE(programStarted.empty());
        REQUIRE_FALSE(readmeStarted.empty());
        CHECK_LT(programStarted, readmeStarted);
    }
    SUBCASE("Cancel on the finish page")
    {
        REQUIRE(press(IDCANCEL));
        CHECK(ended());
        closeRun();
        Sleep(500);
        CHECK(launches().empty());
    }
}

// Not a test: bench/setup-bench runs it to time full installations.
TEST_CASE("installation timing" * doctest::skip())
{
    std::vector<DWORD> installs, wholeRuns;
    for (int round = 0; round < 5; ++round) {
        resetMachine();
        DWORD started = GetTickCount();
        Outcome outcome = installWith(release + "Setup.exe", Choices());
        REQUIRE_EQ(outcome.reached, FINISH);
        finishWith(0, 0);
        installs.push_back(outcome.installMilliseconds);
        wholeRuns.push_back(GetTickCount() - started);
    }
    std::sort(installs.begin(), installs.end());
    std::sort(wholeRuns.begin(), wholeRuns.end());
    printf("| %-52s | %8lu ms | %8lu ms | %8lu ms |\n", "installation proper (Next on the steps page to Finish)",
           installs[2], installs[0], installs[4]);
    printf("| %-52s | %8lu ms | %8lu ms | %8lu ms |\n", "whole run (start of Setup.exe to its end)", wholeRuns[2],
           wholeRuns[0], wholeRuns[4]);
}
