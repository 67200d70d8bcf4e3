// Plays the user of Setup.exe from a release folder and checks the disk, the
// Recycle Bin, the links, the registry and the programs started.
#include <doctest/doctest.h>
#include <set>
#include <stdlib.h>
#include "bytes.h"
#include "setupPilot.h"

static const char appPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quorv.exe";
static std::string appPath(const char* name) { return registryText(appPathsKey, name); }
static std::string desktopLink() { return specialFolder(CSIDL_DESKTOPDIRECTORY) + "Quorvel.lnk"; }
static std::string startMenuLink() { return specialFolder(CSIDL_STARTMENU) + "Quorvel.lnk"; }
static std::string programGroup() { return specialFolder(CSIDL_PROGRAMS) + "Quorvel\\"; }
static int binAtStart;
static int newlyRecycled() { return recycleBinCount() - binAtStart; }

// When the recorder logged its start as label, by the system's clock, and
// the program that started it; "" if not.
static std::string startedAs(const std::string& label)
{
    std::string log = readFile("C:\\launches.log");
    size_t at = log.find(label + " ");
    return at == std::string::npos ? "" : log.substr(at + label.size() + 1, log.find('\r', at) - at - label.size() - 1);
}

// Everything an earlier case may have left goes before each case.
static void resetMachine()
{
    static int once;
    if (!once++) {
        OleInitialize(0);
        // Text files open with the recorder, so that the readme's opening is seen.
        makeFolders("C:\\tools");
        CopyFileA("T:\\launchRecorder.exe", "C:\\tools\\launchRecorder.exe", FALSE);
        RegSetValueA(HKEY_CLASSES_ROOT, ".txt", REG_SZ, "QuorvTestText", 13);
        static const char command[] = "\"C:\\tools\\launchRecorder.exe\" readme \"%1\"";
        RegSetValueA(HKEY_CLASSES_ROOT, "QuorvTestText\\shell\\open\\command", REG_SZ, command, sizeof command);
    }
    endSetup();
    messageBoxAnswer = IDOK;
    for (const std::string& made : { std::string("C:\\Quorvel"), std::string("C:\\Target"), programGroup() })
        removeTree(made);
    DeleteFileA(desktopLink().c_str());
    DeleteFileA(startMenuLink().c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
    DeleteFileA("C:\\launches.log");
    prepareRelease();
    binAtStart = recycleBinCount();
}

// Leaves the finish page by Finish with the two boxes as given.
static void finishWith(int showReadme, int runProgram)
{
    REQUIRE_EQ(pageIndex(), FINISH);
    CHECK(waitFor([] { return buttonReady(FINISH_BUTTON) && !buttonReady(BACK_BUTTON); }, 3000));
    setCheck(FINISH, IDC_SHOW_README, showReadme);
    setCheck(FINISH, IDC_RUN_PROGRAM, runProgram);
    REQUIRE(press(FINISH_BUTTON));
    CHECK(setupEnded());
}

// Cancel where the sheet stands; nothing starts afterwards.
static void cancel()
{
    REQUIRE(press(IDCANCEL));
    CHECK(setupEnded());
    Sleep(500);
    CHECK_EQ(readFile("C:\\launches.log"), "<missing>");
}

static BOOL CALLBACK collectText(HWND child, LPARAM texts)
{
    char text[1024] = "";
    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, 0);
    ((std::set<std::string>*)texts)->insert(text);
    return TRUE;
}

TEST_CASE("every page speaks the user's language, and a first installation copies everything and makes the links")
{
    static const char* const texts[][2] = {
        { "Thank you for trying Quorvel!", "Vielen Dank, dass Sie Quorvel ausprobieren!" },
        { "&Change folder...", "&Ordner \xE4ndern..." },
        { "In the &root of the start menu", "In der '&Wurzel' des Startmen\xFCs" },
        { "Creating links.", "Erstelle Verkn\xFCpfungen." },
        { "Run &Quorvel", "&Quorvel ausf\xFChren" },
    };
    int german = !lstrcmpA(getenv("QUORV_EXPECT_LANGUAGE"), "de");
    resetMachine();
    Outcome outcome = installWith(release + "Setup.exe", Choices());
    char title[256] = "";
    GetWindowTextA(setupSheet, title, sizeof title);
    CHECK_EQ(Bytes(title), Bytes("Quorvel - Installation"));
    for (int page = WELCOME; page <= FINISH; ++page) {
        std::set<std::string> shown;
        EnumChildWindows((HWND)ask(setupSheet, PSM_INDEXTOHWND, page), collectText, (LPARAM)&shown);
        CHECK_MESSAGE(shown.count(texts[page][german]), Bytes(texts[page][german]).value);
    }
    std::string windows = specialFolder(CSIDL_WINDOWS);
    std::string folder = windows.substr(0, windows.rfind('\\', windows.size() - 2) + 1) + "Quorvel\\";
    CHECK_EQ(outcome.proposal, folder);
    CHECK_EQ(outcome.welcomeBack, 0);
    CHECK_EQ(outcome.labelsEnabled, 2);
    REQUIRE_EQ(outcome.reached, FINISH);
    for (int row = 0; row < 3; ++row)
        CHECK_EQ(outcome.rows[row], STEP_DONE);
    CHECK(takeMessageBoxes().empty());
    CHECK_EQ(hashTree(folder), hashTree(release));
    CHECK_EQ(linkTarget(desktopLink()), folder + "Quorv.exe");
    CHECK_EQ(linkTarget(programGroup() + "Quorvel.lnk"), folder + "Quorv.exe");
    CHECK_EQ(linkTarget(programGroup() + "Readme.txt.lnk"), folder + "Readme.txt");
    CHECK_EQ(listTree(programGroup()).size(), 2u);
    CHECK_FALSE(fileExists(startMenuLink()));
    CHECK_EQ(appPath(""), folder + "Quorv.exe");
    CHECK_EQ(appPath("Path"), folder);
    CHECK_EQ(newlyRecycled(), 0);
    if (german) {  // both boxes are checked, and Cancel starts nothing
        cancel();
        return;
    }
    finishWith(1, 1);
    // Which started first, by the creation times that the system recorded;
    // both by the desktop's shell, not with setup's raised rights.
    std::string program = folder + "Quorv.exe", readme = "readme " + folder + "Readme.txt";
    REQUIRE(waitFor([&] { return !startedAs(program).empty() && !startedAs(readme).empty(); }));
    CHECK_LT(startedAs(program), startedAs(readme));
    CHECK_EQ(startedAs(program).substr(17) + " " + startedAs(readme).substr(17), "explorer.exe explorer.exe");
}

TEST_CASE("run again from the installed folder, setup only makes or removes links and records the folder")
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
    Outcome outcome = installWith("C:\\Quorvel\\Setup.exe", noDesktop);
    CHECK_EQ(outcome.rowsBefore[0], STEP_SKIPPED);
    CHECK_EQ(outcome.rowsBefore[1], STEP_SKIPPED);
    CHECK_EQ(outcome.labelsEnabled, 0);
    REQUIRE_EQ(outcome.reached, FINISH);
    CHECK_EQ(outcome.rows[2], STEP_DONE);
    finishWith(0, 0);
    CHECK_FALSE(fileExists(desktopLink()));
    CHECK_EQ(listTree(programGroup()), std::vector<std::string>{ "Quorvel.lnk", "Readme.txt.lnk" });
    // The group's earlier contents went to the Recycle Bin.
    CHECK_EQ(newlyRecycled(), 3);
    CHECK_EQ(appPath("Path"), "c:\\QUORVEL\\");
    CHECK_EQ(appPath(""), "c:\\QUORVEL\\Quorv.exe");

    // Without the group box the whole group goes, for good; a start menu
    // without a path fails its own link only, and nothing lands elsewhere.
    static const char shellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    char saved[MAX_PATH] = "";
    DWORD size = sizeof saved;
    RegGetValueA(HKEY_CURRENT_USER, shellFolders, "Start Menu", RRF_RT_ANY | RRF_NOEXPAND, 0, saved, &size);
    RegSetKeyValueA(HKEY_CURRENT_USER, shellFolders, "Start Menu", REG_EXPAND_SZ, "Q:\\Nowhere", 11);
    Choices noGroup;
    noGroup.group = 0;
    noGroup.startMenuRoot = 1;
    outcome = installWith("C:\\Quorvel\\Setup.exe", noGroup);
    RegSetKeyValueA(HKEY_CURRENT_USER, shellFolders, "Start Menu", REG_EXPAND_SZ, saved, size);
    CHECK_EQ(outcome.proposal, "c:\\QUORVEL\\");
    REQUIRE_EQ(outcome.reached, FINISH);
    CHECK_EQ(outcome.rows[2], STEP_FAILED);
    finishWith(0, 0);
    CHECK_FALSE(fileExists(programGroup()));
    CHECK_EQ(linkTarget(desktopLink()), "c:\\QUORVEL\\Quorv.exe");
    CHECK_FALSE(fileExists(startMenuLink()));
    for (const char* stray : { "C:\\Quorvel.lnk", "C:\\Quorvel\\Quorvel.lnk", "C:\\release\\Quorvel.lnk" })
        CHECK_FALSE(fileExists(stray));
    CHECK_EQ(readFile("C:\\Quorvel\\settings of mine.txt"), "kept");
    CHECK_EQ(newlyRecycled(), 3);
}

TEST_CASE("an existing folder is emptied into the Recycle Bin and filled in its checked spelling")
{
    resetMachine();
    makeFolders("C:\\Target\\old folder");
    writeFile("C:\\Target\\old folder\\old.txt", "old");
    writeFile("C:\\Target\\Quorv.exe", "an older program");
    Choices choices;
    choices.folder = " \"C:/x/../Target\" ";
    Outcome outcome = installWith(release + "Setup.exe", choices);
    REQUIRE_EQ(outcome.reached, FINISH);
    finishWith(0, 0);
    CHECK_EQ(hashTree("C:\\Target\\"), hashTree(release));
    CHECK(GetFileAttributesW(L"C:\\Target\\\u03A9\u4E2D.txt") != INVALID_FILE_ATTRIBUTES);
    CHECK_EQ(newlyRecycled(), 2);
    CHECK_EQ(appPath("Path"), "C:\\Target\\");
    CHECK_FALSE(fileExists("C:\\x"));
}

TEST_CASE("without a Recycle Bin, nothing is deleted for good unless the user agrees")
{
    resetMachine();
    makeFolders("C:\\Target");
    writeFile("C:\\Target\\mine.txt", "mine");
    Choices choices;
    choices.folder = "C:\\Target";

    SUBCASE("No keeps the files and fails the emptying")
    {
        messageBoxAnswer = IDNO;
        Outcome outcome = installWith(release + "Setup.exe", choices);
        CHECK_EQ(outcome.reached, STEPS);
        CHECK_EQ(outcome.rows[0], STEP_FAILED);
        CHECK_EQ(outcome.rows[1], STEP_NONE);
        CHECK_EQ(takeMessageBoxes().size(), 1u);
        cancel();
        CHECK_EQ(listTree("C:\\Target\\"), std::vector<std::string>{ "mine.txt" });
        CHECK_EQ(appPath("Path"), "<missing>");
    }
    SUBCASE("Yes deletes them and the installation goes on")
    {
        messageBoxAnswer = IDYES;
        Outcome outcome = installWith(release + "Setup.exe", choices);
        REQUIRE_EQ(outcome.reached, FINISH);
        CHECK_EQ(takeMessageBoxes().size(), 1u);
        finishWith(0, 0);
        CHECK_EQ(hashTree("C:\\Target\\"), hashTree(release));
    }
}

// The shell of this system copies the other files and reports success;
// setup finds the gap itself.
TEST_CASE("a failed copy fails its row and writes no links or registry values")
{
    resetMachine();
    HANDLE locked = CreateFileA((release + "Readme.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, 0, OPEN_EXISTING, 0, 0);
    Outcome outcome = installWith(release + "Setup.exe", Choices());
    CloseHandle(locked);
    CHECK_EQ(outcome.reached, STEPS);
    CHECK_EQ(outcome.rows[0], STEP_DONE);
    CHECK_EQ(outcome.rows[1], STEP_FAILED);
    CHECK_EQ(outcome.rows[2], STEP_NONE);
    std::vector<SeenMessageBox> boxes = takeMessageBoxes();
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_NE(boxes[0].text.find("'C:\\Quorvel\\'"), std::string::npos);
    cancel();
    CHECK_FALSE(fileExists(desktopLink()));
    CHECK_FALSE(fileExists(programGroup()));
    CHECK_EQ(appPath("Path"), "<missing>");
}
