// Setup's parts inside the test process: path routines, the folder page's
// normal form, the file operation batch, the refusal of dangerous
// installation folders, and the step status control.
#include <doctest/doctest.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "bytes.h"
#include "commonControls.h"
#include "fileOperationBatch.h"
#include "folderChoice.h"
#include "installState.h"
#include "installSteps.h"
#include "messageBoxWatcher.h"
#include "paths.h"
#include "setupState.h"
#include "shellChecks.h"
#include "shortcutWriter.h"
#include "folderSafety.h"
#include "statusControl.h"
#include "wizard.h"
#include "resources/resource.h"
#include <shlobj.h>

// Allocation failures on demand: the test is linked with --wrap for both.
extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_realloc(void* block, size_t size);
static int failAllocationsOfSize;
extern "C" void* __wrap_malloc(size_t size)
{
    return failAllocationsOfSize && size == (size_t)failAllocationsOfSize ? 0 : __real_malloc(size);
}
extern "C" void* __wrap_realloc(void* block, size_t size)
{
    return failAllocationsOfSize && size == (size_t)failAllocationsOfSize ? 0
                                                                           : __real_realloc(block, size);
}

static std::string expectedLanguage()
{
    char value[16] = "";
    GetEnvironmentVariableA("QUORV_EXPECT_LANGUAGE", value, sizeof value);
    return value;
}

static void setUpProgram()
{
    static int done;
    if (done)
        return;
    done = 1;
    instanceHandle = GetModuleHandleA(0);
    REQUIRE(loadSystemLibraries());
    registerStatusControl();
    OleInitialize(0);
}

TEST_CASE("path routines split and join on whole characters")
{
    struct Case {
        const char* path;
        const char* joined;  // after AddTrailingSeparator
        int fileNameOffset;
    };
    const Case cases[] = {
        { "C:\\Quorvel", "C:\\Quorvel\\", 3 },
        { "C:\\Quorvel\\", "C:\\Quorvel\\", 11 },
        { "C:/Programs/Quorvel", "C:/Programs/Quorvel\\", 12 },
        { "C:/", "C:/", 3 },
        { "C:", "C:\\", 0 },
        { "", "", 0 },
        { "Setup.exe", "Setup.exe\\", 0 },
        { "\\\\server\\share\\Setup.exe", "\\\\server\\share\\Setup.exe\\", 15 },
    };
    for (const Case& c : cases) {
        std::string typed = c.path;
        CAPTURE(typed);
        char path[MAX_PATH];
        memset(path, '#', sizeof path);
        lstrcpyA(path, c.path);
        CHECK_EQ(FileNamePart(path) - path, c.fileNameOffset);
        char* end = AddTrailingSeparator(path);
        CHECK_EQ(Bytes(path), Bytes(c.joined));
        CHECK_EQ(end, path + strlen(c.joined));
    }

    SUBCASE("a path of 259 bytes or more is left alone")
    {
        for (int length : { 258, 259 }) {
            char path[MAX_PATH + 8];
            memset(path, 'q', sizeof path);
            path[0] = 'C', path[1] = ':', path[2] = '\\';
            path[length] = 0;
            std::string before = path;
            char* end = AddTrailingSeparator(path);
            if (length == 259) {
                CHECK_EQ((void*)end, (void*)0);
                CHECK_EQ(Bytes(path), Bytes(before));
            } else {
                CHECK_EQ(lstrlenA(path), 259);
                CHECK_EQ(path[258], '\\');
            }
        }
    }

    SUBCASE("a join that would not fit leaves the buffer as it was")
    {
        std::string folder250 = "C:\\" + std::string(246, 'q') + "\\";
        std::string folder249 = "C:\\" + std::string(246, 'q');
        struct Join {
            std::string folder;
            const char* name;
            int joined;
            std::string path;  // what the buffer holds afterwards
        };
        const Join joins[] = {
            { "C:\\Quorvel\\", "Quorv.exe", 1, "C:\\Quorvel\\Quorv.exe" },
            { "C:\\Quorvel", "Readme.txt", 1, "C:\\Quorvel\\Readme.txt" },
            { folder250, "Quorv.exe", 1, folder250 + "Quorv.exe" },
            { folder250, "Readme.txt", 0, "sentinel" },
            { folder249, "Quorv.exe", 1, folder249 + "\\Quorv.exe" },
            { folder249, "Readme.txt", 0, "sentinel" },
            { "C:\\" + std::string(300, 'q'), "a", 0, "sentinel" },
        };
        for (const Join& j : joins) {
            CAPTURE(j.folder);
            CAPTURE(j.name);
            char path[MAX_PATH + 8];
            memset(path, '#', sizeof path);
            lstrcpyA(path, "sentinel");
            CHECK_EQ(JoinPath(path, j.folder.c_str(), j.name), j.joined);
            CHECK_EQ(Bytes(path), Bytes(j.path.c_str()));
            CHECK_EQ(path[MAX_PATH], '#');
        }
    }
}

TEST_CASE("a trail byte with the value of a backslash is no separator")
{
    // 0x95 0x5C is one character in code page 932 (Japanese).
    if (expectedLanguage() == "ja")
        REQUIRE_EQ(GetACP(), 932u);
    if (!IsDBCSLeadByte(0x95))
        return;
    char path[MAX_PATH] = "C:\\\x95\x5C";
    AddTrailingSeparator(path);
    CHECK_EQ(Bytes(path), Bytes("C:\\\x95\x5C\\"));
    char named[MAX_PATH] = "C:\\\x95\x5Cq.exe";
    CHECK_EQ(FileNamePart(named) - named, 3);
    char folder[MAX_PATH] = "C:\\\x95\x5C\\Setup.exe";
    CHECK_EQ(FileNamePart(folder) - folder, 6);
}

TEST_CASE("the proposal is the recorded folder, else beside the Windows folder")
{
    static const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quorv.exe";
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string fallback = std::string(windows, FileNamePart(windows)) + "Quorvel";
    char buffer[MAX_PATH];

    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    memset(buffer, '#', sizeof buffer);
    GetDefaultInstallFolder(buffer);
    CHECK_EQ(Bytes(buffer), Bytes(fallback));

    HKEY opened;
    REQUIRE_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, key, &opened), ERROR_SUCCESS);
    RegSetValueExA(opened, "Path", 0, REG_SZ, (const BYTE*)"E:\\Tools\\Q\\", 12);
    GetDefaultInstallFolder(buffer);
    CHECK_EQ(Bytes(buffer), Bytes("E:\\Tools\\Q\\"));

    // Another type is not a recorded folder.
    RegSetValueExA(opened, "Path", 0, REG_EXPAND_SZ, (const BYTE*)"E:\\Tools\\Q\\", 12);
    GetDefaultInstallFolder(buffer);
    CHECK_EQ(Bytes(buffer), Bytes(fallback));

    // A value that fills the buffer without its zero is cut, not overrun.
    char full[MAX_PATH];
    memset(full, 'x', sizeof full);
    RegSetValueExA(opened, "Path", 0, REG_SZ, (const BYTE*)full, sizeof full);
    GetDefaultInstallFolder(buffer);
    CHECK_EQ(lstrlenA(buffer), MAX_PATH - 1);
    RegCloseKey(opened);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}

// A parent for pages and controls, shown so that they paint.
static HWND testWindow()
{
    static HWND window;
    if (!window) {
        setUpProgram();
        window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 400, 0, 0,
                                 instanceHandle, 0);
    }
    return window;
}

// The folder page from its template, fed a typed text and left.
static InstallState typedFolder(const char* typed, const char* setupFolder)
{
    setUpProgram();
    InstallState state = {};
    lstrcpyA(state.setupFolder, setupFolder);
    PROPSHEETPAGEA description = {};
    description.lParam = (LPARAM)&state;
    HWND page = CreateDialogParamA(instanceHandle, MAKEINTRESOURCEA(IDD_FOLDER), testWindow(), folderPageProc,
                                   (LPARAM)&description);
    SetDlgItemTextA(page, IDC_FOLDER, typed);
    takeTypedFolder(page, &state);
    DestroyWindow(page);
    return state;
}

TEST_CASE("the folder page keeps the typed folder in its normal form")
{
    struct Case {
        const char* typed;
        const char* stored;
        int inPlace;
    };
    const Case cases[] = {
        { "C:/Programs/Quorvel", "C:\\Programs\\Quorvel\\", 0 },
        { "C:", "C:\\", 0 },
        { "C:/", "C:\\", 0 },
        { "", "", 0 },
        { "c:\\quorvel", "c:\\quorvel\\", 1 },
        { "C:\\QUORVEL\\", "C:\\QUORVEL\\", 1 },
        { "C:\\QUORV~1\\", "C:\\QUORV~1\\", 0 },
        { "  C:\\Programs\\Quorvel  ", "C:\\Programs\\Quorvel\\", 0 },
        { "\"C:\\Programs\\Quorvel\"", "C:\\Programs\\Quorvel\\", 0 },
        { " \"c:\\quorvel\\\" ", "c:\\quorvel\\", 1 },
        { "\"C:\\Program Files\\Quorvel ", "\"C:\\Program Files\\Quorvel\\", 0 },
        { "\"", "\"\\", 0 },
    };
    for (const Case& c : cases) {
        std::string typed = c.typed;
        CAPTURE(typed);
        InstallState state = typedFolder(c.typed, "C:\\Quorvel\\");
        CHECK_EQ(Bytes(state.installFolder), Bytes(c.stored));
        CHECK_EQ(state.inPlace, c.inPlace);
    }
}

TEST_CASE("a file operation batch lays out its lists as the shell reads them")
{
    CHECK_EQ(sizeof(SHFILEOPSTRUCTA), 30u);

    SUBCASE("one path")
    {
        FileOperationBatch batch;
        CHECK(batch.Append(SOURCE_LIST, "C:\\a.txt"));
        CHECK_EQ(batch.sourceCapacity, 10);
        CHECK_EQ(batch.sourceLength, 9);
        CHECK_EQ(Bytes(batch.sourceList, 10), Bytes("C:\\a.txt\0\0", 10));
        CHECK_EQ(batch.operation.pFrom, batch.sourceList);
        CHECK_EQ(batch.sourceEnd, batch.sourceList + 9);
        CHECK_EQ((void*)batch.targetList, (void*)0);
        CHECK_EQ((void*)batch.operation.pTo, (void*)0);
    }
    SUBCASE("growing by exactly what is needed")
    {
        FileOperationBatch batch;
        batch.Append(TARGET_LIST, "ab");
        CHECK_EQ(batch.targetCapacity, 4);
        batch.Append(TARGET_LIST, "cde");
        CHECK_EQ(batch.targetCapacity, 8);
        CHECK_EQ(batch.targetLength, 7);
        CHECK_EQ(Bytes(batch.targetList, 8), Bytes("ab\0cde\0\0", 8));
        CHECK_EQ(batch.operation.pTo, batch.targetList);
        CHECK_EQ((void*)batch.sourceList, (void*)0);
    }
    SUBCASE("a failed allocation fails the batch and touches no file")
    {
        setUpProgram();
        makeFolders("C:\\batch\\from");
        removeTree("C:\\batch\\to");
        writeFile("C:\\batch\\from\\a.txt", "a");
        FileOperationBatch batch;
        CHECK(batch.Append(SOURCE_LIST, "C:\\batch\\from\\*.*"));
        failAllocationsOfSize = lstrlenA("C:\\batch\\to\\") + 2;
        CHECK_EQ(batch.Append(TARGET_LIST, "C:\\batch\\to\\"), 0);
        failAllocationsOfSize = 0;
        CHECK_EQ((void*)batch.operation.pTo, (void*)0);
        CHECK_EQ(batch.Run(0, FO_COPY, FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT), 0);
        CHECK_FALSE(fileExists("C:\\batch\\to"));
        CHECK_FALSE(fileExists("a.txt"));

        // A failed growth keeps what the list held.
        FileOperationBatch grown;
        grown.Append(SOURCE_LIST, "ab");
        failAllocationsOfSize = 8;
        CHECK_EQ(grown.Append(SOURCE_LIST, "cde"), 0);
        failAllocationsOfSize = 0;
        CHECK_EQ(Bytes(grown.sourceList, 4), Bytes("ab\0\0", 4));
        CHECK_EQ(grown.Run(0, FO_DELETE, FOF_NOCONFIRMATION | FOF_SILENT), 0);
        removeTree("C:\\batch");
    }
}

static HWND createStepsPage(InstallState* state)
{
    static PROPSHEETPAGEA description;
    description.lParam = (LPARAM)state;
    HWND page = CreateDialogParamA(instanceHandle, MAKEINTRESOURCEA(IDD_STEPS), testWindow(), stepsPageProc,
                                   (LPARAM)&description);
    EnableWindow(page, TRUE);
    ShowWindow(page, SW_SHOW);
    UpdateWindow(page);
    return page;
}

static int rowState(HWND page, int control)
{
    return GetWindowLongA(GetDlgItem(page, control), 0);
}

// Everything the refusals must leave as it was.
struct Sentinels {
    std::vector<std::string> tree;
    int recycled;
};

static Sentinels takeSentinels(const std::string& folder)
{
    return { listTree(folder, 0), recycleBinCount() };
}

static int setRegistryValue(const char* subkey, const char* name, DWORD type, const char* text)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, 0, 0, KEY_SET_VALUE, 0, &key, 0) != ERROR_SUCCESS)
        return 0;
    LONG result = RegSetValueExA(key, name, 0, type, (const BYTE*)text, lstrlenA(text) + 1);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

static std::string registryText(const char* subkey, const char* name)
{
    char value[1024] = "<missing>";
    DWORD size = sizeof value - 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, name, 0, 0, (BYTE*)value, &size) != ERROR_SUCCESS)
            lstrcpyA(value, "<missing>");
        RegCloseKey(key);
    }
    return value;
}

TEST_CASE("dangerous installation folders are refused before anything is touched")
{
    setUpProgram();
    std::string profile = specialFolder(CSIDL_PROFILE);
    std::string desktop = specialFolder(CSIDL_DESKTOPDIRECTORY);
    std::string documents = specialFolder(CSIDL_PERSONAL);
    std::string programFiles = specialFolder(CSIDL_PROGRAM_FILES);
    std::string windows = specialFolder(CSIDL_WINDOWS);
    std::string system = specialFolder(CSIDL_SYSTEM);
    REQUIRE_FALSE(profile.empty());
    REQUIRE_FALSE(desktop.empty());

    std::string commonFiles = specialFolder(CSIDL_PROGRAM_FILES_COMMON);
    REQUIRE_FALSE(commonFiles.empty());
    // Another user's profile, known only from the profile list.
    static const char otherProfileKey[] =
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-1-2-3-1001";
    static const char otherProfile[] = "%SystemDrive%\\other user";
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, otherProfileKey);
    REQUIRE(setRegistryValue(otherProfileKey, "ProfileImagePath", REG_EXPAND_SZ, otherProfile));
    removeTree("C:\\other user");
    makeFolders("C:\\other user\\Documents");
    // A folder marked as the system's own.
    SetFileAttributesA("C:\\marked", FILE_ATTRIBUTE_NORMAL);
    removeTree("C:\\marked");
    makeFolders("C:\\marked");
    REQUIRE(SetFileAttributesA("C:\\marked", FILE_ATTRIBUTE_SYSTEM));
    REQUIRE_EQ(GetFileAttributesA("C:\\marked"), (DWORD)(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));

    const char* release = "C:\\downloads\\release\\";
    removeTree("C:\\downloads");
    makeFolders("C:\\downloads\\release\\inner");
    writeFile("C:\\downloads\\release\\Setup.exe", "setup");
    writeFile("C:\\downloads\\release\\Readme.txt", "readme");
    std::string longFolder = "C:\\" + std::string(250, 'q') + "\\";
    // Typed through a short name, it fits; spelled out in full, the
    // installed files would not.
    removeTree("C:\\a long parent name");
    makeFolders("C:\\a long parent name");
    char shortParent[MAX_PATH];
    REQUIRE(GetShortPathNameA("C:\\a long parent name", shortParent, MAX_PATH));
    REQUIRE_LT(strlen(shortParent), strlen("C:\\a long parent name"));
    std::string throughShortName = std::string(shortParent) + "\\" + std::string(247 - strlen(shortParent), 'q');
    makeFolders("C:\\a long parent name\\" + std::string(247 - strlen(shortParent), 'q'));

    struct Case {
        std::string typed;
        int message;
        std::string watched;  // the folder whose contents must stay as they are
    };
    const Case cases[] = {
        { "C:\\", IDS_DRIVE_ROOT, "C:\\" },
        { "C:", IDS_DRIVE_ROOT, "C:\\" },
        { "C:/", IDS_DRIVE_ROOT, "C:\\" },
        { "C:\\.", IDS_DRIVE_ROOT, "C:\\" },
        { "C:\\downloads\\..", IDS_DRIVE_ROOT, "C:\\" },
        { "", IDS_FOLDER_INVALID, "C:\\downloads\\" },
        { "Quorvel", IDS_FOLDER_INVALID, "C:\\downloads\\" },
        { "C:Quorvel", IDS_FOLDER_INVALID, "C:\\downloads\\" },
        { "\\Quorvel", IDS_FOLDER_INVALID, "C:\\downloads\\" },
        { "C:\\Quor*", IDS_FOLDER_INVALID, "C:\\downloads\\" },
        { "C:\\a:b", IDS_FOLDER_INVALID, "C:\\downloads\\" },
        { longFolder, IDS_FOLDER_TOO_LONG, "C:\\downloads\\" },
        { longFolder + std::string(10, 'q'), IDS_FOLDER_TOO_LONG, "C:\\downloads\\" },
        { throughShortName, IDS_FOLDER_TOO_LONG, "C:\\downloads\\" },
        { windows, IDS_FOLDER_PROTECTED, "C:\\downloads\\" },
        { system, IDS_FOLDER_PROTECTED, "C:\\downloads\\" },
        { programFiles, IDS_FOLDER_PROTECTED, "C:\\downloads\\" },
        { profile, IDS_FOLDER_PROTECTED, profile },
        { desktop, IDS_FOLDER_PROTECTED, desktop },
        { documents, IDS_FOLDER_PROTECTED, documents },
        { specialFolder(CSIDL_MYPICTURES), IDS_FOLDER_PROTECTED, specialFolder(CSIDL_MYPICTURES) },
        { specialFolder(CSIDL_PROGRAMS), IDS_FOLDER_PROTECTED, specialFolder(CSIDL_PROGRAMS) },
        { profile + "Downloads", IDS_FOLDER_PROTECTED, profile + "Downloads\\" },
        { "C:\\users", IDS_FOLDER_PROTECTED, profile },
        { "c:/WINDOWS/", IDS_FOLDER_PROTECTED, "C:\\downloads\\" },
        { " \"C:\\Windows\" ", IDS_FOLDER_PROTECTED, "C:\\downloads\\" },
        { windows + "Quorvel", IDS_FOLDER_PROTECTED, "C:\\downloads\\" },
        { system + "Quorvel\\inner", IDS_FOLDER_PROTECTED, "C:\\downloads\\" },
        { commonFiles + "Quorvel", IDS_FOLDER_PROTECTED, "C:\\downloads\\" },
        { "C:\\other user", IDS_FOLDER_PROTECTED, "C:\\other user\\" },
        { "C:\\OTHER USER\\..\\other user\\", IDS_FOLDER_PROTECTED, "C:\\other user\\" },
        { "C:\\marked", IDS_FOLDER_PROTECTED, "C:\\marked\\" },
        { "C:\\downloads\\release.", IDS_FOLDER_INVALID, "C:\\downloads\\" },
        { "C:\\downloads\\release \\new", IDS_FOLDER_INVALID, "C:\\downloads\\" },
        { "C:\\downloads\\Quorvel...\\", IDS_FOLDER_INVALID, "C:\\downloads\\" },
        { "C:\\downloads", IDS_FOLDER_HOLDS_SETUP, "C:\\downloads\\" },
        { "C:\\downloads\\release\\.", IDS_FOLDER_HOLDS_SETUP, "C:\\downloads\\" },
        { "C:\\downloads\\release\\inner", IDS_FOLDER_HOLDS_SETUP, "C:\\downloads\\" },
        { "C:\\downloads\\release\\new", IDS_FOLDER_HOLDS_SETUP, "C:\\downloads\\" },
    };
    startMessageBoxWatcher();
    for (const Case& c : cases) {
        CAPTURE(c.typed);
        InstallState state = typedFolder(c.typed.c_str(), release);
        state.linkOnDesktop = state.linkInProgramsGroup = 1;
        REQUIRE_EQ(state.inPlace, 0);
        writeFile(c.watched + "sentinel.txt", "keep");
        Sentinels before = takeSentinels(c.watched);
        HWND page = createStepsPage(&state);

        CHECK_EQ(RunInstallation(&state, testWindow(), page), 0);

        std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
        REQUIRE_EQ(boxes.size(), 1u);
        char text[1024];
        char format[260];
        LoadStringA(instanceHandle, c.message, format, sizeof format);
        wsprintfA(text, format, state.installFolder);
        CHECK_EQ(Bytes(boxes[0].text), Bytes(text));
        CHECK_EQ(boxes[0].caption, "Quorvel");
        CHECK_EQ(boxes[0].owner, testWindow());
        CHECK_EQ(rowState(page, IDC_STATUS_EMPTY), STEP_FAILED);
        CHECK_EQ(rowState(page, IDC_STATUS_COPY), STEP_NONE);
        CHECK_EQ(rowState(page, IDC_STATUS_LINKS), STEP_NONE);
        Sentinels after = takeSentinels(c.watched);
        CHECK_EQ(after.tree, before.tree);
        CHECK_EQ(after.recycled, before.recycled);
        CHECK_EQ(readFile(c.watched + "sentinel.txt"), "keep");
        CHECK_FALSE(fileExists(desktop + "Quorvel.lnk"));
        DestroyWindow(page);
        DeleteFileA((c.watched + "sentinel.txt").c_str());
    }
    stopMessageBoxWatcher();
    CHECK_EQ(recycleBinCount(), 0);
    CHECK_FALSE(fileExists("C:\\downloads\\release\\new"));
    CHECK_FALSE(fileExists(windows + "Quorvel"));
    CHECK_FALSE(fileExists(commonFiles + "Quorvel"));
    CHECK_FALSE(fileExists("C:\\downloads\\release \\"));
    CHECK_FALSE(fileExists("C:\\downloads\\Quorvel"));
    CHECK_EQ(listTree("C:\\other user\\"), std::vector<std::string>{ "Documents\\" });
    removeTree("C:\\downloads");
    removeTree("C:\\other user");
    removeTree("C:\\a long parent name");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, otherProfileKey);
    SetFileAttributesA("C:\\marked", FILE_ATTRIBUTE_NORMAL);
    removeTree("C:\\marked");
}

// The control's pixels in its glyph square, counted by colour.
static int countPixels(HWND control, COLORREF colour, int* others)
{
    HDC dc = GetDC(control);
    int count = 0;
    *others = 0;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            COLORREF pixel = GetPixel(dc, x, y);
            if (pixel == colour)
                ++count;
            else if (pixel != face)
                ++*others;
        }
    ReleaseDC(control, dc);
    return count;
}

TEST_CASE("the status control draws each state's glyph on the button face")
{
    HWND control = CreateWindowExA(0, "InstallStatus32", "", WS_CHILD | WS_VISIBLE, 10, 10, 18, 21,
                                   testWindow(), 0, instanceHandle, 0);
    UpdateWindow(control);
    int others;
    CHECK_EQ(countPixels(control, GetSysColor(COLOR_BTNFACE), &others), 144);

    struct Case {
        int state;
        COLORREF colour;
    };
    const Case cases[] = {
        { STEP_DONE, RGB(0, 128, 0) },    { STEP_SKIPPED, RGB(0, 0, 128) },
        { STEP_RUNNING, RGB(0, 0, 0) },   { STEP_FAILED, RGB(128, 0, 0) },
        { STEP_NONE, GetSysColor(COLOR_BTNFACE) },
    };
    for (const Case& c : cases) {
        CAPTURE(c.state);
        SendMessageA(control, ISM_SETSTATE, c.state, 0);
        int drawn = countPixels(control, c.colour, &others);
        if (c.state == STEP_NONE) {
            CHECK_EQ(drawn, 144);
        } else {
            CHECK(drawn > 10);
            CHECK(drawn < 100);
            CHECK_EQ(others, 0);
        }
    }
    DestroyWindow(control);
}

TEST_CASE("the running step's label is bold, every other label has the page's font")
{
    InstallState state = {};
    HWND page = createStepsPage(&state);
    HFONT pageFont = (HFONT)SendMessageA(page, WM_GETFONT, 0, 0);
    REQUIRE(stepFont);
    LOGFONTA bold;
    GetObjectA(stepFont, sizeof bold, &bold);
    CHECK_EQ(bold.lfWeight, FW_BOLD);
    CHECK_EQ(Bytes(bold.lfFaceName), Bytes("MS Sans Serif"));

    const int labels[3] = { IDC_LABEL_EMPTY, IDC_LABEL_COPY, IDC_LABEL_LINKS };
    for (int row = 0; row < 3; ++row) {
        CAPTURE(row);
        SetStepState(page, row, STEP_RUNNING);
        CHECK_EQ((HFONT)SendDlgItemMessageA(page, labels[row], WM_GETFONT, 0, 0), stepFont);
        SetStepState(page, row, STEP_DONE);
        CHECK_EQ((HFONT)SendDlgItemMessageA(page, labels[row], WM_GETFONT, 0, 0), pageFont);
    }
    SetStepState(page, 2, STEP_RUNNING);
    HWND label = GetDlgItem(page, IDC_LABEL_LINKS);
    // Destroying the page gives the label its own font back before the bold
    // one is deleted.
    SendMessageA(page, WM_DESTROY, 0, 0);
    CHECK_EQ((HFONT)SendMessageA(label, WM_GETFONT, 0, 0), pageFont);
    CHECK_EQ((void*)stepFont, (void*)0);
    DestroyWindow(page);
}

TEST_CASE("a failed allocation fails the emptying step and touches nothing")
{
    setUpProgram();
    removeTree("C:\\batch");
    makeFolders("C:\\batch\\from");
    makeFolders("C:\\batch\\to");
    writeFile("C:\\batch\\from\\Setup.exe", "setup");
    writeFile("C:\\batch\\to\\mine.txt", "mine");
    InstallState state = {};
    lstrcpyA(state.setupFolder, "C:\\batch\\from\\");
    lstrcpyA(state.installFolder, "C:\\batch\\to\\");
    HWND page = createStepsPage(&state);
    int recycled = recycleBinCount();

    failAllocationsOfSize = lstrlenA("C:\\batch\\to\\*.*") + 2;
    CHECK_EQ(RunInstallation(&state, testWindow(), page), 0);
    failAllocationsOfSize = 0;
    CHECK_EQ(rowState(page, IDC_STATUS_EMPTY), STEP_FAILED);
    CHECK_EQ(rowState(page, IDC_STATUS_COPY), STEP_NONE);
    CHECK_EQ(readFile("C:\\batch\\to\\mine.txt"), "mine");
    CHECK_FALSE(fileExists("C:\\batch\\to\\Setup.exe"));
    CHECK_EQ(recycleBinCount(), recycled);
    DestroyWindow(page);
    removeTree("C:\\batch");
}

TEST_CASE("names are compared as the file system compares them")
{
    setUpProgram();
    // U+00AD, the soft hyphen, weighs nothing in a language-aware comparison,
    // yet names another folder on disk.
    if (GetACP() != 1252)
        return;
    const char* setupFolder = "C:\\ordinal\\rel\xAD" "ease\\";
    removeTree("C:\\ordinal");
    makeFolders(setupFolder);
    writeFile(std::string(setupFolder) + "Setup.exe", "setup");
    struct Case {
        const char* typed;
        int message;  // 0: accepted
        const char* target;
    };
    const Case cases[] = {
        { "C:\\ordinal\\releas\xAD" "e", 0, "C:\\ordinal\\releas\xAD" "e\\" },
        { "C:\\ordinal\\release\xAD", 0, "C:\\ordinal\\release\xAD\\" },
        { "C:\\ORDINAL\\REL\xAD" "EASE", IDS_FOLDER_HOLDS_SETUP, "" },
        { "c:\\ordinal\\rel\xAD" "ease\\inner", IDS_FOLDER_HOLDS_SETUP, "" },
        { "C:\\ordinal", IDS_FOLDER_HOLDS_SETUP, "" },
    };
    for (const Case& c : cases) {
        CAPTURE(c.typed);
        InstallState state = typedFolder(c.typed, setupFolder);
        char target[MAX_PATH];
        lstrcpyA(target, "sentinel");
        CHECK_EQ(refusalOfFolder(&state, target), (UINT)c.message);
        if (!c.message)
            CHECK_EQ(Bytes(target), Bytes(c.target));
    }
    removeTree("C:\\ordinal");
}

TEST_CASE("the installation works in the folder as checked and checks the copy by wide names")
{
    setUpProgram();
    static const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quorv.exe";
    static const WCHAR wideName[] = L"C:\\widecopy\\from\\\u03A9\u4E2D.txt";
    static const WCHAR copiedName[] = L"C:\\widecopy\\to\\\u03A9\u4E2D.txt";
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    removeTree("C:\\widecopy");
    makeFolders("C:\\widecopy\\from\\docs");
    makeFolders("C:\\widecopy\\to");
    makeFolders("C:\\widecopy\\x");
    writeFile("C:\\widecopy\\from\\Setup.exe", "setup");
    writeFile("C:\\widecopy\\from\\docs\\Readme.txt", "readme");
    writeFile("C:\\widecopy\\to\\old.txt", "old");
    HANDLE file = CreateFileW(wideName, GENERIC_WRITE, 0, 0, CREATE_NEW, 0, 0);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "omega", 5, &written, 0);
    CloseHandle(file);
    int recycled = recycleBinCount();

    InstallState state = typedFolder(" \"C:/widecopy/x/../to\" ", "C:\\widecopy\\from\\");
    REQUIRE_EQ(state.inPlace, 0);
    HWND page = createStepsPage(&state);
    startMessageBoxWatcher();
    CHECK_EQ(RunInstallation(&state, testWindow(), page), 1);
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(0, 500);
    stopMessageBoxWatcher();
    CHECK_EQ(boxes.size(), 0u);
    for (const SeenMessageBox& box : boxes)
        CHECK_EQ(box.text, "");
    CHECK_EQ(rowState(page, IDC_STATUS_EMPTY), STEP_DONE);
    CHECK_EQ(rowState(page, IDC_STATUS_COPY), STEP_DONE);
    CHECK_EQ(Bytes(state.installFolder), Bytes("C:\\widecopy\\to\\"));
    CHECK_EQ(registryText(key, "Path"), "C:\\widecopy\\to\\");
    CHECK_EQ(registryText(key, ""), "C:\\widecopy\\to\\Quorv.exe");
    WIN32_FILE_ATTRIBUTE_DATA copied = {};
    CHECK(GetFileAttributesExW(copiedName, GetFileExInfoStandard, &copied));
    CHECK_EQ(copied.nFileSizeLow, 5u);
    CHECK_EQ(readFile("C:\\widecopy\\to\\docs\\Readme.txt"), "readme");
    CHECK_FALSE(fileExists("C:\\widecopy\\to\\old.txt"));
    CHECK_EQ(recycleBinCount(), recycled + 1);
    CHECK_EQ(listTree("C:\\widecopy\\x\\"), std::vector<std::string>{});
    DestroyWindow(page);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    removeTree("C:\\widecopy");
}

TEST_CASE("in place, paths too long for their buffers fail the links step and write nothing")
{
    setUpProgram();
    static const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quorv.exe";
    std::string desktopLink = specialFolder(CSIDL_DESKTOPDIRECTORY) + "Quorvel.lnk";
    std::string group = specialFolder(CSIDL_PROGRAMS) + "Quorvel\\";
    struct Case {
        int length;  // of the folder, with its trailing backslash
        int result;
        int desktopLinkMade;  // Quorv.exe still fits, Readme.txt no longer does
    };
    const Case cases[] = { { 250, 1, 1 }, { 251, 0, 0 }, { 258, 0, 0 } };
    startMessageBoxWatcher();
    for (const Case& c : cases) {
        CAPTURE(c.length);
        std::string folder = "C:\\" + std::string(c.length - 4, 'q') + "\\";
        REQUIRE_EQ((int)folder.size(), c.length);
        DeleteFileA(desktopLink.c_str());
        removeTree(group);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
        REQUIRE(setRegistryValue(key, "Path", REG_SZ, "sentinel"));
        InstallState state = {};
        lstrcpyA(state.setupFolder, folder.c_str());
        lstrcpyA(state.installFolder, folder.c_str());
        state.inPlace = 1;
        state.linkOnDesktop = state.linkInProgramsGroup = 1;
        HWND page = createStepsPage(&state);

        CHECK_EQ(RunInstallation(&state, testWindow(), page), c.result);

        // The folder is named as too long, rather than failing in silence.
        CHECK_EQ(takeMessageBoxes(c.result ? 0 : 1, c.result ? 300 : 3000).size(), c.result ? 0u : 1u);
        CHECK_EQ(rowState(page, IDC_STATUS_LINKS), STEP_FAILED);
        CHECK_EQ(Bytes(state.installFolder), Bytes(folder.c_str()));
        CHECK_EQ(fileExists(desktopLink), c.desktopLinkMade);
        if (c.desktopLinkMade)
            CHECK_EQ(readLink(desktopLink).target, folder + "Quorv.exe");
        CHECK_FALSE(fileExists(group));
        CHECK_EQ(registryText(key, "Path"), c.result ? folder : "sentinel");
        CHECK_EQ(registryText(key, ""), c.result ? folder + "Quorv.exe" : "<missing>");
        DestroyWindow(page);
    }
    stopMessageBoxWatcher();
    DeleteFileA(desktopLink.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}

static DWORD WINAPI writerInApartment(void* apartment)
{
    // 0: none yet; else the apartment the thread already lives in.
    DWORD model = *(DWORD*)apartment;
    if (model)
        CoInitializeEx(0, model);
    { ShortcutWriter writer; }
    // Initialised once more: S_OK when the writer left nothing behind,
    // S_FALSE when the thread's own initialisation is still in force.
    HRESULT again = CoInitializeEx(0, model ? model : (DWORD)COINIT_APARTMENTTHREADED);
    CoUninitialize();
    if (model)
        CoUninitialize();
    return (DWORD)again;
}

TEST_CASE("the link writer releases only the COM initialisation it made")
{
    struct Case {
        const char* name;
        DWORD apartment;
        HRESULT afterwards;
    };
    const Case cases[] = {
        { "no apartment", 0, S_OK },
        { "single-threaded apartment", COINIT_APARTMENTTHREADED, S_FALSE },
    };
    for (const Case& c : cases) {
        std::string name = c.name;
        CAPTURE(name);
        DWORD apartment = c.apartment;
        HANDLE thread = CreateThread(0, 0, writerInApartment, &apartment, 0, 0);
        REQUIRE(thread);
        REQUIRE_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
        DWORD result = 0;
        GetExitCodeThread(thread, &result);
        CloseHandle(thread);
        CHECK_EQ((HRESULT)result, c.afterwards);
    }
}

static BOOL CALLBACK collectTextStatics(HWND child, LPARAM found)
{
    char className[32];
    GetClassNameA(child, className, sizeof className);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (!lstrcmpiA(className, "Static") && (style & SS_TYPEMASK) == SS_LEFT)
        ((std::vector<LONG>*)found)->push_back(style);
    return TRUE;
}

TEST_CASE("the welcome page starts a group at each text and destroys its globe")
{
    setUpProgram();
    InstallState state = {};
    PROPSHEETPAGEA description = {};
    description.lParam = (LPARAM)&state;
    HWND page = CreateDialogParamA(instanceHandle, MAKEINTRESOURCEA(IDD_WELCOME), testWindow(),
                                   welcomePageProc, (LPARAM)&description);
    REQUIRE(page);
    std::vector<LONG> statics;
    EnumChildWindows(page, collectTextStatics, (LPARAM)&statics);
    CHECK_EQ(statics.size(), 4u);
    for (LONG style : statics)
        CHECK_EQ(style & WS_GROUP, WS_GROUP);
    HICON globe = (HICON)SendDlgItemMessageA(page, IDC_GLOBE, STM_GETIMAGE, IMAGE_ICON, 0);
    ICONINFO info = {};
    REQUIRE(GetIconInfo(globe, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyWindow(page);
    CHECK_FALSE(GetIconInfo(globe, &info));
}
