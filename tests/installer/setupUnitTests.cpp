// Setup's parts inside the test process: path routines, the proposal, the
// file operation batch, the refusal of dangerous installation folders, the
// steps page and the link writer.
#include <doctest/doctest.h>
#include <string.h>
#include "bytes.h"
#include "commonControls.h"
#include "fileOperationBatch.h"
#include "folderChoice.h"
#include "folderSafety.h"
#include "installState.h"
#include "installSteps.h"
#include "messageBoxWatcher.h"
#include "paths.h"
#include "setupState.h"
#include "shellChecks.h"
#include "shortcutWriter.h"
#include "statusControl.h"
#include "wizard.h"
#include "resources/resource.h"

// Allocation failures on demand: the test is linked with --wrap for both.
extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_realloc(void* block, size_t size);
static size_t failAllocationsOfSize;
extern "C" void* __wrap_malloc(size_t size) { return size == failAllocationsOfSize ? 0 : __real_malloc(size); }
extern "C" void* __wrap_realloc(void* block, size_t size)
{
    return size == failAllocationsOfSize ? 0 : __real_realloc(block, size);
}

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
    EnableWindow(page, TRUE);
    ShowWindow(page, SW_SHOW);
    UpdateWindow(page);
    return page;
}

static int rowState(HWND page, int control) { return GetWindowLongA(GetDlgItem(page, control), 0); }

TEST_CASE("path routines split on whole characters, and a path too long for a separator is left alone")
{
    struct Case {
        std::string path;
        const char* joined;  // after AddTrailingSeparator; 0: left alone
        int fileNameOffset;
    };
    const Case cases[] = {
        { "C:/Programs/Quorvel", "C:/Programs/Quorvel\\", 12 },
        { "\\\\server\\share\\Setup.exe", "\\\\server\\share\\Setup.exe\\", 15 },
        { "", "", 0 },
        { "C:\\" + std::string(256, 'q'), 0, 3 },
    };
    for (const Case& c : cases) {
        CAPTURE(c.path);
        char path[MAX_PATH + 8];
        lstrcpyA(path, c.path.c_str());
        CHECK_EQ(FileNamePart(path) - path, c.fileNameOffset);
        char* end = AddTrailingSeparator(path);
        CHECK_EQ(Bytes(path), Bytes(c.joined ? c.joined : c.path.c_str()));
        CHECK_EQ(end, c.joined ? path + strlen(c.joined) : 0);
    }
}

// Run under code page 932 (Japanese), where 0x95 0x5C is one character.
TEST_CASE("a trail byte with the value of a backslash is no separator" * doctest::skip())
{
    REQUIRE_EQ(GetACP(), 932u);
    char path[MAX_PATH] = "C:\\\x95\x5C";
    AddTrailingSeparator(path);
    CHECK_EQ(Bytes(path), Bytes("C:\\\x95\x5C\\"));
    char named[MAX_PATH] = "C:\\\x95\x5C\\Setup.exe";
    CHECK_EQ(FileNamePart(named) - named, 6);
}

TEST_CASE("only a recorded folder of text is proposed, and cut to fit")
{
    char windows[MAX_PATH], full[MAX_PATH], buffer[MAX_PATH + 8];
    GetWindowsDirectoryA(windows, MAX_PATH);
    memset(full, 'x', sizeof full);
    memset(buffer, '#', sizeof buffer);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, appPathsKey, "Path", REG_EXPAND_SZ, "E:\\Tools\\Q\\", 12);
    GetDefaultInstallFolder(buffer);
    CHECK_EQ(Bytes(buffer), Bytes(std::string(windows, FileNamePart(windows)) + "Quorvel"));
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, appPathsKey, "Path", REG_SZ, full, sizeof full);
    GetDefaultInstallFolder(buffer);
    CHECK_EQ(lstrlenA(buffer), MAX_PATH - 1);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
}

TEST_CASE("a file operation batch keeps its lists whole, and a failed allocation touches no file")
{
    testWindow();
    FileOperationBatch batch;
    batch.Append(TARGET_LIST, "ab");
    batch.Append(TARGET_LIST, "cde");
    CHECK_EQ(Bytes(batch.targetList, 8), Bytes("ab\0cde\0\0", 8));
    CHECK_EQ(batch.operation.pTo, batch.targetList);
    // A failed growth keeps what the list held.
    failAllocationsOfSize = 12;
    CHECK_EQ(batch.Append(TARGET_LIST, "fgh"), 0);
    failAllocationsOfSize = 0;
    CHECK_EQ(Bytes(batch.targetList, 8), Bytes("ab\0cde\0\0", 8));
    // A copy whose target list could not be made never runs; without one it
    // would copy into the current folder.
    DeleteFileA("a.txt");
    makeFolders("C:\\batch\\from");
    writeFile("C:\\batch\\from\\a.txt", "a");
    FileOperationBatch copying;
    CHECK(copying.Append(SOURCE_LIST, "C:\\batch\\from\\*.*"));
    failAllocationsOfSize = lstrlenA("C:\\batch\\to\\") + 2;
    CHECK_EQ(copying.Append(TARGET_LIST, "C:\\batch\\to\\"), 0);
    failAllocationsOfSize = 0;
    CHECK_EQ(copying.Run(0, FO_COPY, FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT), 0);
    CHECK_FALSE(fileExists("C:\\batch\\to"));
    CHECK_FALSE(fileExists("a.txt"));
    removeTree("C:\\batch");
}

TEST_CASE("dangerous installation folders are refused before anything is touched")
{
    std::string profile = specialFolder(CSIDL_PROFILE), desktop = specialFolder(CSIDL_DESKTOPDIRECTORY);
    std::string windows = specialFolder(CSIDL_WINDOWS), system = specialFolder(CSIDL_SYSTEM);
    std::string documents = specialFolder(CSIDL_PERSONAL), pictures = specialFolder(CSIDL_MYPICTURES);
    std::string programs = specialFolder(CSIDL_PROGRAMS), common = specialFolder(CSIDL_PROGRAM_FILES_COMMON);
    // Another user's profile, known only from the profile list.
    static const char otherProfile[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-1-2-3-1001";
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, otherProfile, "ProfileImagePath", REG_EXPAND_SZ, "%SystemDrive%\\other user", 25);
    makeFolders("C:\\other user\\Documents");
    // A folder marked as the system's own.
    makeFolders("C:\\marked");
    REQUIRE(SetFileAttributesA("C:\\marked", FILE_ATTRIBUTE_SYSTEM));
    // The setup folder's name holds a soft hyphen (U+00AD), which weighs
    // nothing in a language-aware comparison yet names another folder on disk.
    const char* release = "C:\\downloads\\rel\xAD" "ease\\";
    makeFolders(std::string(release) + "inner");
    writeFile(std::string(release) + "Setup.exe", "setup");
    // Typed through a short name, it fits; spelled out in full, the
    // installed files would not.
    makeFolders("C:\\a long parent name");
    char shortParent[MAX_PATH];
    REQUIRE(GetShortPathNameA("C:\\a long parent name", shortParent, MAX_PATH));
    std::string tail = "\\" + std::string(247 - strlen(shortParent), 'q');
    makeFolders("C:\\a long parent name" + tail);

    struct Case {
        std::string typed;
        int message;          // 0: accepted
        std::string watched;  // the folder whose contents must stay as they are
    };
    const std::string downloads = "C:\\downloads\\";
    const Case cases[] = {
        { "C:", IDS_DRIVE_ROOT, "C:\\" },
        { "C:\\downloads\\..", IDS_DRIVE_ROOT, "C:\\" },
        { "Quorvel", IDS_FOLDER_INVALID, downloads },
        { "C:Quorvel", IDS_FOLDER_INVALID, downloads },
        { "\\Quorvel", IDS_FOLDER_INVALID, downloads },
        { "C:\\Quor*", IDS_FOLDER_INVALID, downloads },
        { "C:\\a:b", IDS_FOLDER_INVALID, downloads },
        { "\"C:\\downloads\\new", IDS_FOLDER_INVALID, downloads },
        { "C:\\" + std::string(250, 'q') + "\\", IDS_FOLDER_TOO_LONG, downloads },
        { shortParent + tail, IDS_FOLDER_TOO_LONG, downloads },
        { "C:\\downloads\\release.", IDS_FOLDER_INVALID, downloads },
        { "C:\\downloads\\release \\new", IDS_FOLDER_INVALID, downloads },
        { windows, IDS_FOLDER_PROTECTED, downloads },
        { system, IDS_FOLDER_PROTECTED, downloads },
        { specialFolder(CSIDL_PROGRAM_FILES), IDS_FOLDER_PROTECTED, downloads },
        { profile, IDS_FOLDER_PROTECTED, profile },
        { desktop, IDS_FOLDER_PROTECTED, desktop },
        { documents, IDS_FOLDER_PROTECTED, documents },
        { pictures, IDS_FOLDER_PROTECTED, pictures },
        { programs, IDS_FOLDER_PROTECTED, programs },
        { profile + "Downloads", IDS_FOLDER_PROTECTED, profile + "Downloads\\" },
        { "C:\\users", IDS_FOLDER_PROTECTED, profile },
        { " \t\"c:/WINDOWS\"\t", IDS_FOLDER_PROTECTED, downloads },
        { windows + "Quorvel", IDS_FOLDER_PROTECTED, downloads },
        { system + "Quorvel\\inner", IDS_FOLDER_PROTECTED, downloads },
        { common + "Quorvel", IDS_FOLDER_PROTECTED, downloads },
        { "C:\\OTHER USER\\..\\other user\\", IDS_FOLDER_PROTECTED, "C:\\other user\\" },
        { "C:\\marked", IDS_FOLDER_PROTECTED, "C:\\marked\\" },
        { "C:\\downloads", IDS_FOLDER_HOLDS_SETUP, downloads },
        { "C:\\DOWNLOADS\\REL\xAD" "EASE\\.", IDS_FOLDER_HOLDS_SETUP, downloads },
        { "C:\\downloads\\rel\xAD" "ease\\inner", IDS_FOLDER_HOLDS_SETUP, downloads },
        { "C:\\downloads\\rel\xAD" "ease\\new", IDS_FOLDER_HOLDS_SETUP, downloads },
        { "C:\\downloads\\releas\xAD" "e", 0, downloads },
        { "C:\\downloads\\release\xAD", 0, downloads },
    };
    startMessageBoxWatcher();
    for (const Case& c : cases) {
        CAPTURE(c.typed);
        InstallState state = {};
        lstrcpyA(state.setupFolder, release);
        HWND page = createPage(IDD_FOLDER, folderPageProc, &state);
        SetDlgItemTextA(page, IDC_FOLDER, c.typed.c_str());
        takeTypedFolder(page, &state);
        DestroyWindow(page);
        if (!c.message) {
            char target[MAX_PATH] = "sentinel";
            CHECK_EQ(refusalOfFolder(&state, target), 0u);
            CHECK_EQ(Bytes(target), Bytes(state.installFolder));
            continue;
        }
        REQUIRE_EQ(state.inPlace, 0);
        state.linkOnDesktop = state.linkInProgramsGroup = 1;
        writeFile(c.watched + "sentinel.txt", "keep");
        std::vector<std::string> before = listTree(c.watched, c.watched != "C:\\");
        int recycled = recycleBinCount();
        page = createPage(IDD_STEPS, stepsPageProc, &state);

        CHECK_EQ(RunInstallation(&state, testWindow(), page), 0);

        std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
        REQUIRE_EQ(boxes.size(), 1u);
        char format[260], text[1024];
        LoadStringA(instanceHandle, c.message, format, sizeof format);
        wsprintfA(text, format, state.installFolder);
        CHECK_EQ(Bytes(boxes[0].text), Bytes(text));
        CHECK_EQ(boxes[0].caption, "Quorvel");
        CHECK_EQ(boxes[0].owner, testWindow());
        CHECK_EQ(rowState(page, IDC_STATUS_EMPTY), STEP_FAILED);
        CHECK_EQ(rowState(page, IDC_STATUS_COPY), STEP_NONE);
        CHECK_EQ(listTree(c.watched, c.watched != "C:\\"), before);
        CHECK_EQ(recycleBinCount(), recycled);
        CHECK_EQ(readFile(c.watched + "sentinel.txt"), "keep");
        CHECK_FALSE(fileExists(desktop + "Quorvel.lnk"));
        DestroyWindow(page);
        DeleteFileA((c.watched + "sentinel.txt").c_str());
    }
    stopMessageBoxWatcher();
    CHECK_FALSE(fileExists(windows + "Quorvel"));
    CHECK_FALSE(fileExists(common + "Quorvel"));
    CHECK_EQ(listTree("C:\\other user\\"), std::vector<std::string>{ "Documents\\" });
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, otherProfile);
    SetFileAttributesA("C:\\marked", FILE_ATTRIBUTE_NORMAL);
    for (const char* made : { "C:\\downloads", "C:\\other user", "C:\\a long parent name", "C:\\marked" })
        removeTree(made);
}

TEST_CASE("each step state shows its glyph on the button face, and the running step's label is bold")
{
    InstallState state = {};
    HWND page = createPage(IDD_STEPS, stepsPageProc, &state);
    HFONT pageFont = (HFONT)SendMessageA(page, WM_GETFONT, 0, 0);
    HWND label = GetDlgItem(page, IDC_LABEL_LINKS);
    HDC dc = GetDC(GetDlgItem(page, IDC_STATUS_LINKS));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const struct {
        int state;
        COLORREF colour;
    } cases[] = {
        { STEP_NONE, face },           { STEP_DONE, RGB(0, 128, 0) }, { STEP_SKIPPED, RGB(0, 0, 128) },
        { STEP_FAILED, RGB(128, 0, 0) }, { STEP_RUNNING, RGB(0, 0, 0) },
    };
    for (const auto& c : cases) {
        CAPTURE(c.state);
        SetStepState(page, 2, c.state);
        // The glyph square: the glyph's colour on the face, and nothing else.
        int drawn = 0, others = 0;
        for (int pixel = 0; pixel < 144; ++pixel) {
            COLORREF colour = GetPixel(dc, pixel % 12, pixel / 12);
            drawn += colour == c.colour;
            others += colour != c.colour && colour != face;
        }
        CHECK(drawn > (c.state == STEP_NONE ? 143 : 10));
        CHECK(drawn < 100 + 45 * (c.state == STEP_NONE));
        CHECK_EQ(others, 0);
        CHECK_EQ((HFONT)SendMessageA(label, WM_GETFONT, 0, 0), c.state == STEP_RUNNING ? stepFont : pageFont);
    }
    ReleaseDC(GetDlgItem(page, IDC_STATUS_LINKS), dc);
    // Destroying the page gives the label its own font back before the bold
    // one is deleted.
    SendMessageA(page, WM_DESTROY, 0, 0);
    CHECK_EQ((HFONT)SendMessageA(label, WM_GETFONT, 0, 0), pageFont);
    CHECK_EQ((void*)stepFont, (void*)0);
    DestroyWindow(page);
}

TEST_CASE("the welcome page destroys its globe")
{
    InstallState state = {};
    HWND page = createPage(IDD_WELCOME, welcomePageProc, &state);
    HICON globe = (HICON)SendDlgItemMessageA(page, IDC_GLOBE, STM_GETIMAGE, IMAGE_ICON, 0);
    ICONINFO info = {};
    REQUIRE(GetIconInfo(globe, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyWindow(page);
    CHECK_FALSE(GetIconInfo(globe, &info));
}

TEST_CASE("in place, paths too long for their buffers fail the links step and write nothing")
{
    std::string desktopLink = specialFolder(CSIDL_DESKTOPDIRECTORY) + "Quorvel.lnk";
    std::string group = specialFolder(CSIDL_PROGRAMS) + "Quorvel\\";
    // Up to 250 bytes Quorv.exe still fits beside the folder; Readme.txt no longer does.
    startMessageBoxWatcher();
    for (int length : { 250, 251 }) {
        CAPTURE(length);
        std::string folder = "C:\\" + std::string(length - 4, 'q') + "\\";
        DeleteFileA(desktopLink.c_str());
        removeTree(group);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
        InstallState state = {};
        lstrcpyA(state.setupFolder, folder.c_str());
        lstrcpyA(state.installFolder, folder.c_str());
        state.inPlace = state.linkOnDesktop = state.linkInProgramsGroup = 1;
        HWND page = createPage(IDD_STEPS, stepsPageProc, &state);
        int fits = length == 250;
        CHECK_EQ(RunInstallation(&state, testWindow(), page), fits);
        // The folder is named as too long, rather than failing in silence.
        CHECK_EQ(takeMessageBoxes(!fits, fits ? 300 : 3000).size(), fits ? 0u : 1u);
        CHECK_EQ(rowState(page, IDC_STATUS_LINKS), STEP_FAILED);
        CHECK_EQ(linkTarget(desktopLink), fits ? folder + "Quorv.exe" : "<unreadable>");
        CHECK_FALSE(fileExists(group));
        CHECK_EQ(registryText(appPathsKey, "Path"), fits ? folder : "<missing>");
        CHECK_EQ(registryText(appPathsKey, ""), fits ? folder + "Quorv.exe" : "<missing>");
        DestroyWindow(page);
    }
    stopMessageBoxWatcher();
    DeleteFileA(desktopLink.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
}

// A link writer made in a thread of its own; S_OK when it left the thread's
// COM as it found it, uninitialised.
static DWORD WINAPI writerLeavesComAsFound(void*)
{
    { ShortcutWriter writer; }
    HRESULT again = CoInitializeEx(0, COINIT_APARTMENTTHREADED);
    CoUninitialize();
    return (DWORD)again;
}

TEST_CASE("the link writer releases the COM initialisation it made")
{
    HANDLE thread = CreateThread(0, 0, writerLeavesComAsFound, 0, 0, 0);
    DWORD again = 1;
    REQUIRE_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    GetExitCodeThread(thread, &again);
    CloseHandle(thread);
    CHECK_EQ((HRESULT)again, S_OK);
}
