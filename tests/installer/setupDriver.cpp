// Plays the user of Setup.exe from a release folder and checks the disk, the
// Recycle Bin, the links, the registry and the programs started.
#include <doctest/doctest.h>
#include <stdlib.h>
#include "setupPilot.h"

static const char appPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quorv.exe";
static std::string appPath(const char* name) { return registryText(appPathsKey, name); }
static std::string desktopLink() { return specialFolder(CSIDL_DESKTOPDIRECTORY) + "Quorvel.lnk"; }
static std::string programGroup() { return specialFolder(CSIDL_PROGRAMS) + "Quorvel\\"; }
static int binAtStart;
static int newlyRecycled() { return recycleBinCount() - binAtStart; }

// When the recorder logged its start as label, by the system's clock, and
// the program that started it; "" if not.
static std::string startedAs(const std::string& label)
{
    std::string log = readFile("C:\\launches.log");
    size_t at = log.find(label + " "), from = at + label.size() + 1;
    return at == std::string::npos ? "" : log.substr(from, log.find('\r', at) - from);
}

// Everything an earlier case may have left goes before each case.
static void resetMachine()
{
    static int once;
    if (!once++) {
        // Text files open with the recorder, so that the readme's opening is seen.
        makeFolders("C:\\tools");
        CopyFileA("T:\\launchRecorder.exe", "C:\\tools\\launchRecorder.exe", FALSE);
        RegSetValueA(HKEY_CLASSES_ROOT, ".txt", REG_SZ, "QuorvTestText", 13);
        static const char command[] = "\"C:\\tools\\launchRecorder.exe\" readme \"%1\"";
        RegSetValueA(HKEY_CLASSES_ROOT, "QuorvTestText\\shell\\open\\command", REG_SZ, command, sizeof command);
    }
    endSetup();
    messageBoxAnswer = IDOK;
    removeTree("C:\\Quorvel");
    removeTree(programGroup());
    DeleteFileA(desktopLink().c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
    DeleteFileA("C:\\launches.log");
    prepareRelease();
    binAtStart = recycleBinCount();
}

// Leaves the finish page by Finish with the two boxes as given.
static void finishWith(int showReadme, int runProgram)
{
    REQUIRE_EQ(pageIndex(), FINISH);
    setCheck(FINISH, IDC_SHOW_README, showReadme);
    setCheck(FINISH, IDC_RUN_PROGRAM, runProgram);
    REQUIRE(press(FINISH_BUTTON));
    CHECK(setupEnded());
}

TEST_CASE("setup speaks the user's language; an installation empties the folder into the Recycle Bin, fills it "
          "in its checked spelling and makes the links")
{
    int german = !lstrcmpA(getenv("QUORV_EXPECT_LANGUAGE"), "de");
    resetMachine();
    makeFolders("C:\\Quorvel\\old folder");
    writeFile("C:\\Quorvel\\old folder\\old.txt", "old");
    writeFile("C:\\Quorvel\\Quorv.exe", "an older program");
    Outcome outcome = installWith(release + "Setup.exe", " \"C:/x/../Quorvel\" ");
    char text[64] = "";
    ask(pageItem(FINISH, IDC_RUN_PROGRAM), WM_GETTEXT, sizeof text, (LPARAM)text);
    CHECK_EQ(std::string(text), german ? "&Quorvel ausf\xFChren" : "Run &Quorvel");
    std::string windows = specialFolder(CSIDL_WINDOWS), folder = "C:\\Quorvel\\";
    CHECK_EQ(outcome.proposal, windows.substr(0, windows.rfind('\\', windows.size() - 2) + 1) + "Quorvel\\");
    REQUIRE_EQ(outcome.reached, FINISH);
    CHECK(takeMessageBoxes().empty());
    CHECK_EQ(listTree(folder), listTree(release));
    CHECK_FALSE(fileExists("C:\\x"));
    CHECK_EQ(newlyRecycled(), 2);
    CHECK(linksTo(desktopLink(), folder + "Quorv.exe"));
    CHECK(linksTo(programGroup() + "Quorvel.lnk", folder + "Quorv.exe"));
    CHECK(linksTo(programGroup() + "Readme.txt.lnk", folder + "Readme.txt"));
    CHECK_EQ(listTree(programGroup()).size(), 2u);
    CHECK_EQ(appPath(""), folder + "Quorv.exe");
    CHECK_EQ(appPath("Path"), folder);
    SUBCASE("Finish opens the program, then the readme, by the desktop's shell; Cancel opens nothing")
    {
        if (german) {
            REQUIRE(press(IDCANCEL));
            CHECK(setupEnded());
            // Nothing marks a launch that does not come: give one time to.
            Sleep(500);
            CHECK_EQ(readFile("C:\\launches.log"), "<missing>");
            return;
        }
        finishWith(1, 1);
        // Which started first, by the creation times that the system
        // recorded; both by the desktop's shell, not with setup's raised rights.
        std::string program = folder + "Quorv.exe", readme = "readme " + folder + "Readme.txt";
        REQUIRE(waitUntil([&] { return !startedAs(program).empty() && !startedAs(readme).empty(); }, setupPatience));
        CHECK_LT(startedAs(program), startedAs(readme));
        CHECK_EQ(startedAs(program).substr(17) + " " + startedAs(readme).substr(17), "explorer.exe explorer.exe");
    }
    SUBCASE("a second run from the installed folder only makes or removes links and records the folder")
    {
        finishWith(0, 0);
        writeFile(folder + "settings of mine.txt", "kept");
        writeFile(programGroup() + "Old link.lnk", "from an earlier run");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
        REQUIRE_EQ(installWith(folder + "Setup.exe", "c:\\QUORVEL", 0).reached, FINISH);
        CHECK_EQ(rowState(ROW_EMPTY), STEP_SKIPPED);
        CHECK_EQ(rowState(ROW_COPY), STEP_SKIPPED);
        CHECK_EQ(rowState(ROW_LINKS), STEP_DONE);
        finishWith(0, 0);
        CHECK_FALSE(fileExists(desktopLink()));
        CHECK_EQ(listTree(programGroup()), std::vector<std::string>{ "Quorvel.lnk", "Readme.txt.lnk" });
        // The group's earlier contents went to the Recycle Bin.
        CHECK_EQ(newlyRecycled(), 5);
        CHECK_EQ(appPath("Path"), "c:\\QUORVEL\\");
        CHECK_EQ(readFile(folder + "settings of mine.txt"), "kept");
    }
}

TEST_CASE("without a Recycle Bin, nothing is deleted for good unless the user agrees")
{
    resetMachine();
    writeFile((makeFolders("C:\\Quorvel"), "C:\\Quorvel\\mine.txt"), "mine");
    for (int answer : { IDNO, IDYES }) {
        CAPTURE(answer);
        messageBoxAnswer = answer;
        Outcome outcome = installWith(release + "Setup.exe");
        CHECK_EQ(takeMessageBoxes().size(), 1u);
        CHECK_EQ(outcome.reached, answer == IDYES ? FINISH : STEPS);
        CHECK_EQ(listTree("C:\\Quorvel\\"), answer == IDYES ? listTree(release) : std::vector<std::string>{ "mine.txt" });
        CHECK_EQ(appPath("Path"), answer == IDYES ? "C:\\Quorvel\\" : "<missing>");
        endSetup();
    }
}
