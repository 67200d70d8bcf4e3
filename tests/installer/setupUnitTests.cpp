// Setup's parts inside the test process: path routines, the proposal, the
// refusal of dangerous installation folders, the steps and their rows, the
// record.
#include <doctest/doctest.h>
#include <string.h>
#include "bytes.h"
#include "commonControls.h"
#include "folderChoice.h"
#include "folderSafety.h"
#include "installState.h"
#include "installSteps.h"
#include "messageBoxWatcher.h"
#include "paths.h"
#include "setupState.h"
#include "shellChecks.h"
#include "statusControl.h"
#include "wizard.h"
#include "resources/resource.h"
#include <sddl.h>

// A shown parent for pages and controls, with the program set up as at its start.
static HWND testWindow()
{
    static HWND window;
    if (!window) {
        instanceHandle = GetModuleHandleA(0);
        REQUIRE(loadSystemLibraries());
        registerStatusControl();
        OleInitialize(0);
        window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 400, 0, 0, instanceHandle, 0);
    }
    return window;
}

static HWND createPage(int id, DLGPROC procedure, InstallState* state)
{
    static PROPSHEETPAGEA description;
    description.lParam = (LPARAM)state;
    HWND page = CreateDialogParamA(instanceHandle, MAKEINTRESOURCEA(id), testWindow(), procedure, (LPARAM)&description);
    ShowWindow(page, SW_SHOW);
    UpdateWindow(page);
    return page;
}

static HWND stepsPage;
static int rowState(int row)
{
    static const int rows[ROW_COUNT] = { IDC_STATUS_EMPTY, IDC_STATUS_COPY, IDC_STATUS_LINKS };
    return GetWindowLongA(GetDlgItem(stepsPage, rows[row]), 0);
}

// The rows as they stood when the last box came up.
static int rowsAtBox[ROW_COUNT];
static void readRows(HWND)
{
    for (int row = 0; row < ROW_COUNT; ++row)
        rowsAtBox[row] = rowState(row);
}

// Runs the installation on a fresh steps page (stepsPage) while the
// watcher answers its boxes.
static int runSteps(InstallState* state)
{
    stepsPage = createPage(IDD_STEPS, stepsPageProc, state);
    memset(rowsAtBox, -1, sizeof rowsAtBox);
    onMessageBoxSeen = readRows;
    return RunInstallation(state, testWindow(), stepsPage);
}

TEST_CASE("path routines split on whole characters, and a path too long for a separator is left alone")
{
    const struct {
        std::string path;
        const char* joined;  // after AddTrailingSeparator; 0: left alone
        int fileNameOffset;
    } cases[] = {
        { "C:/Programs/Quorvel", "C:/Programs/Quorvel\\", 12 },
        { "\\\\server\\share\\Setup.exe", "\\\\server\\share\\Setup.exe\\", 15 },
        { "C:\\" + std::string(256, 'q'), 0, 3 },
        // Under code page 932 (Japanese) 0x95 0x5C is one character.
        { GetACP() == 932 ? "C:\\\x95\x5C" : "", GetACP() == 932 ? "C:\\\x95\x5C\\" : "", GetACP() == 932 ? 3 : 0 },
    };
    for (const auto& c : cases) {
        CAPTURE(c.path);
        char path[MAX_PATH + 8];
        lstrcpyA(path, c.path.c_str());
        CHECK_EQ(FileNamePart(path) - path, c.fileNameOffset);
        char* end = AddTrailingSeparator(path);
        CHECK_EQ(Bytes(path), Bytes(c.joined ? c.joined : c.path.c_str()));
        CHECK_EQ(end, c.joined ? path + strlen(c.joined) : 0);
    }
}

TEST_CASE("only a recorded folder of text is proposed, and cut to fit; a final path loses its long prefix")
{
    char windows[MAX_PATH], full[MAX_PATH], buffer[MAX_PATH + 8];
    GetWindowsDirectoryA(windows, MAX_PATH);
    memset(full, 'x', sizeof full);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, appPathsKey, "Path", REG_EXPAND_SZ, "E:\\Tools\\Q\\", 12);
    GetDefaultInstallFolder(buffer);
    CHECK_EQ(Bytes(buffer), Bytes(std::string(windows, FileNamePart(windows)) + "Quorvel"));
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, appPathsKey, "Path", REG_SZ, full, sizeof full);
    GetDefaultInstallFolder(buffer);
    CHECK_EQ(lstrlenA(buffer), MAX_PATH - 1);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
    const char* const cases[][2] = { { "\\\\?\\C:\\Q", "C:\\Q" }, { "\\\\?\\UNC\\server\\share", "\\\\server\\share" } };
    for (const auto& c : cases) {
        char plain[MAX_PATH] = "sentinel";
        withoutLongPrefix(c[0], plain);
        CHECK_EQ(Bytes(plain), Bytes(c[1]));
    }
}

// Setup runs from C:\alias\rel<soft hyphen>ease, which tests/wine-run's
// drive S: also reaches, as subst or a mapped drive does on Windows. The
// soft hyphen weighs nothing in a language-aware comparison, yet names
// another folder on disk. A file of setup's held open fails the copy.
TEST_CASE("dangerous folders are refused before anything is touched, and a failed step shows its cross first")
{
    std::string profile = specialFolder(CSIDL_PROFILE), windows = specialFolder(CSIDL_WINDOWS);
    std::string common = specialFolder(CSIDL_PROGRAM_FILES_COMMON), programFiles = specialFolder(CSIDL_PROGRAM_FILES);
    // Another user's profile, known only from the profile list.
    static const char otherProfile[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-1-2-3-1001";
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, otherProfile, "ProfileImagePath", REG_EXPAND_SZ, "%SystemDrive%\\other user", 25);
    makeFolders("C:\\other user\\Documents");
    makeFolders("C:\\marked");
    REQUIRE(SetFileAttributesA("C:\\marked", FILE_ATTRIBUTE_SYSTEM));
    const std::string alias = "C:\\alias\\", release = "C:\\alias\\rel\xAD" "ease\\";
    makeFolders(release + "inner");
    writeFile(release + "Setup.exe", "setup");
    HANDLE held = CreateFileA((release + "Setup.exe").c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
    const struct {
        std::string typed;
        int message;          // 0: accepted
        std::string watched;  // the folder whose contents must stay as they are
    } cases[] = {
        { "C:", IDS_DRIVE_ROOT, "C:\\" },
        { "C:\\alias\\..", IDS_DRIVE_ROOT, "C:\\" },
        { "Quorvel", IDS_FOLDER_INVALID, alias },
        { "C:\\Quor*", IDS_FOLDER_INVALID, alias },
        { "C:\\alias\\release.", IDS_FOLDER_INVALID, alias },
        { "C:\\alias\\release \\new", IDS_FOLDER_INVALID, alias },
        { "C:\\" + std::string(250, 'q') + "\\", IDS_FOLDER_TOO_LONG, alias },
        { programFiles, IDS_FOLDER_PROTECTED, alias },
        { profile, IDS_FOLDER_PROTECTED, profile },
        { specialFolder(CSIDL_PERSONAL), IDS_FOLDER_PROTECTED, specialFolder(CSIDL_PERSONAL) },
        { profile + "Downloads", IDS_FOLDER_PROTECTED, profile + "Downloads\\" },
        { "C:\\users", IDS_FOLDER_PROTECTED, profile },
        { " \t\"c:/WINDOWS\"\t", IDS_FOLDER_PROTECTED, alias },
        { specialFolder(CSIDL_SYSTEM) + "Quorvel\\inner", IDS_FOLDER_PROTECTED, alias },
        { common + "Quorvel", IDS_FOLDER_PROTECTED, alias },
        { "C:\\OTHER USER\\..\\other user\\", IDS_FOLDER_PROTECTED, "C:\\other user\\" },
        { "C:\\marked", IDS_FOLDER_PROTECTED, "C:\\marked\\" },
        { "C:\\alias", IDS_FOLDER_HOLDS_SETUP, alias },
        { "C:\\ALIAS\\REL\xAD" "EASE\\.", IDS_FOLDER_HOLDS_SETUP, alias },
        { "S:\\rel\xAD" "ease\\inner", IDS_FOLDER_HOLDS_SETUP, alias },
        { "C:\\alias\\releas\xAD" "e", 0, alias },
        { "S:\\release\xAD", 0, alias },
        { programFiles + "Quorvel", 0, alias },
        { "C:\\copy", IDS_COPY_INCOMPLETE, alias },
    };
    REQUIRE(fileExists("S:\\rel\xAD" "ease\\inner"));
    startMessageBoxWatcher();
    for (const auto& c : cases) {
        CAPTURE(c.typed);
        InstallState state = {};
        lstrcpyA(state.setupFolder, release.c_str());
        HWND page = createPage(IDD_FOLDER, folderPageProc, &state);
        SetDlgItemTextA(page, IDC_FOLDER, c.typed.c_str());
        takeTypedFolder(page, &state);
        DestroyWindow(page);
        char target[MAX_PATH] = "sentinel";
        if (!c.message) {
            CHECK_EQ(refusalOfFolder(&state, target), 0u);
            CHECK_EQ(Bytes(target), Bytes(state.installFolder));
            continue;
        }
        state.linkOnDesktop = state.linkInProgramsGroup = 1;
        writeFile(c.watched + "sentinel.txt", "keep");
        std::vector<std::string> before = listTree(c.watched, c.watched != "C:\\");
        int recycled = recycleBinCount(), failedRow = c.message == IDS_COPY_INCOMPLETE ? ROW_COPY : ROW_EMPTY;

        CHECK_EQ(runSteps(&state), 0);

        std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
        REQUIRE_EQ(boxes.size(), 1u);
        char format[260], text[1024];
        LoadStringA(instanceHandle, c.message, format, sizeof format);
        wsprintfA(text, format, state.installFolder);
        CHECK_EQ(Bytes(boxes[0].text), Bytes(text));
        CHECK_EQ(boxes[0].owner, testWindow());
        CHECK_EQ(rowsAtBox[failedRow], STEP_FAILED);
        CHECK_EQ(rowState(failedRow + 1), STEP_NONE);
        CHECK_EQ(listTree(c.watched, c.watched != "C:\\"), before);
        CHECK_EQ(recycleBinCount(), recycled);
        CHECK_FALSE(fileExists(specialFolder(CSIDL_DESKTOPDIRECTORY) + "Quorvel.lnk"));
        CHECK_EQ(registryText(appPathsKey, "Path"), "<missing>");
        DestroyWindow(stepsPage);
        DeleteFileA((c.watched + "sentinel.txt").c_str());
    }
    stopMessageBoxWatcher();
    CloseHandle(held);
    CHECK_FALSE(fileExists(common + "Quorvel"));
    CHECK_EQ(listTree("C:\\other user\\"), std::vector<std::string>{ "Documents\\" });
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, otherProfile);
    SetFileAttributesA("C:\\marked", FILE_ATTRIBUTE_NORMAL);
    for (const char* made : { "C:\\alias", "C:\\other user", "C:\\marked", "C:\\copy" })
        removeTree(made);
}

TEST_CASE("each step state shows its glyph on the button face")
{
    InstallState state = {};
    stepsPage = createPage(IDD_STEPS, stepsPageProc, &state);
    HDC dc = GetDC(GetDlgItem(stepsPage, IDC_STATUS_LINKS));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    // Done, skipped, running, failed.
    const COLORREF colours[] = { RGB(0, 128, 0), RGB(0, 0, 128), RGB(0, 0, 0), RGB(128, 0, 0) };
    for (int state : { 0, 1, 2, 3, (int)STEP_NONE }) {
        CAPTURE(state);
        SetStepState(stepsPage, ROW_LINKS, state);
        // The glyph square: the glyph's colour on the face, and nothing else.
        COLORREF colour = state == STEP_NONE ? face : colours[state];
        int drawn = 0, others = 0;
        for (int pixel = 0; pixel < 144; ++pixel) {
            COLORREF seen = GetPixel(dc, pixel % 12, pixel / 12);
            drawn += seen == colour;
            others += seen != colour && seen != face;
        }
        CHECK(drawn > (state == STEP_NONE ? 143 : 10));
        CHECK(drawn < 100 + 45 * (state == STEP_NONE));
        CHECK_EQ(others, 0);
    }
    ReleaseDC(GetDlgItem(stepsPage, IDC_STATUS_LINKS), dc);
    DestroyWindow(stepsPage);
}

TEST_CASE("in place, a folder too long for its files or a record denied fails and says so")
{
    std::string desktopLink = specialFolder(CSIDL_DESKTOPDIRECTORY) + "Quorvel.lnk";
    startMessageBoxWatcher();
    // Up to 250 bytes Quorv.exe still fits beside the folder; Readme.txt no longer does.
    for (int length : { 250, 251 }) {
        CAPTURE(length);
        std::string folder = "C:\\" + std::string(length - 4, 'q') + "\\";
        DeleteFileA(desktopLink.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
        InstallState state = {};
        lstrcpyA(state.setupFolder, folder.c_str());
        lstrcpyA(state.installFolder, folder.c_str());
        state.inPlace = state.linkOnDesktop = state.linkInProgramsGroup = 1;
        int fits = length == 250;
        CHECK_EQ(runSteps(&state), fits);
        CHECK_EQ(takeMessageBoxes(!fits, fits ? 300 : 3000).size(), fits ? 0u : 1u);
        CHECK_EQ(rowState(ROW_LINKS), STEP_FAILED);
        CHECK_EQ(linkTarget(desktopLink), fits ? folder + "Quorv.exe" : "<unreadable>");
        CHECK_FALSE(fileExists(specialFolder(CSIDL_PROGRAMS) + "Quorvel"));
        CHECK_EQ(registryText(appPathsKey, "Path"), fits ? folder : "<missing>");
        CHECK_EQ(registryText(appPathsKey, ""), fits ? folder + "Quorv.exe" : "<missing>");
        DestroyWindow(stepsPage);
    }
    // Everyone may do anything with the key but set its values.
    PSECURITY_DESCRIPTOR denied = 0;
    HKEY key;
    REQUIRE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x2;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                 &denied, 0));
    REQUIRE_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, appPathsKey, 0, 0, 0, KEY_ALL_ACCESS, 0, &key, 0), ERROR_SUCCESS);
    CHECK_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, denied), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(denied);
    InstallState state = { "C:\\recorded\\", "C:\\recorded\\", 1, 0, 0, 0 };
    CHECK_EQ(runSteps(&state), 0);
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_NE(boxes[0].text.find(appPathsKey), std::string::npos);
    CHECK_EQ(rowState(ROW_LINKS), STEP_DONE);
    DestroyWindow(stepsPage);
    stopMessageBoxWatcher();
    DeleteFileA(desktopLink.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
}
