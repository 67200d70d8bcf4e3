// Setup's parts inside the test process: path routines, the refusal of dangerous installation folders, the steps and their rows, the
// record.
#include <doctest/doctest.h>
#include "bytes.h"
#include "commonControls.h"
#include "folderChoice.h"
#include "folderPermissions.h"
#include "folderSafety.h"
#include "installState.h"
#include "installSteps.h"
#include "messageBoxWatcher.h"
#include "setupGlobals.h"
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
        REQUIRE(LoadSystemLibraries());
        RegisterStatusControl();
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
static const int stepRows[ROW_COUNT] = { IDC_STATUS_EMPTY, IDC_STATUS_COPY, IDC_STATUS_LINKS };
static int rowState(int row) { return GetWindowLongA(GetDlgItem(stepsPage, stepRows[row]), 0); }

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
    stepsPage = createPage(IDD_STEPS, StepsPageProc, state);
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
    // A final path as the system gives it keeps a share's two backslashes.
    char plain[MAX_PATH] = "sentinel";
    WithoutLongPrefix("\\\\?\\UNC\\server\\share\\Q", plain);
    CHECK_EQ(Bytes(plain), Bytes("\\\\server\\share\\Q"));
}

// Setup runs from C:\alias\rel<soft hyphen>ease, which tests/wine-run's
// drive S: also reaches, as subst or a mapped drive does on Windows. The
// soft hyphen weighs nothing in a language-aware comparison, yet names
// another folder on disk. A file of setup's held open fails the copy.
TEST_CASE("dangerous folders are refused before anything is touched; every failed step shows its cross, then says why")
{
    std::string profile = specialFolder(CSIDL_PROFILE);
    // A Downloads folder named outside the code page.
    static const WCHAR downloads[] = L"C:\\dl\\\u4E2D";
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                    L"{374DE290-123F-4565-9164-39C4925E467B}", REG_EXPAND_SZ, downloads, sizeof downloads);
    makeFolders("C:\\dl");
    CreateDirectoryW(downloads, 0);
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
    // Setup run from there finds that neither Quorv.exe nor Readme.txt fits
    // beside it.
    const std::string tooLong = "C:\\" + std::string(247, 'q') + "\\";
    // Nothing copied from a folder that cannot be listed is no complete copy.
    const std::string nowhere = "C:\\nowhere\\";
    const struct {
        std::string typed;
        int message;          // 0: accepted
        std::string watched;  // the folder whose contents must stay as they are
    } cases[] = {
        { "C:", IDS_DRIVE_ROOT, "C:\\" },
        { "Quorvel", IDS_FOLDER_INVALID, alias },
        { "C:\\Quor*", IDS_FOLDER_INVALID, alias },
        { "C:\\alias\\release.", IDS_FOLDER_INVALID, alias },
        { "C:\\alias\\release \\new", IDS_FOLDER_INVALID, alias },
        { "C:\\" + std::string(250, 'q') + "\\", IDS_FOLDER_TOO_LONG, alias },
        { programFiles, IDS_FOLDER_PROTECTED, alias },
        { profile, IDS_FOLDER_PROTECTED, profile },
        { specialFolder(CSIDL_PERSONAL), IDS_FOLDER_PROTECTED, specialFolder(CSIDL_PERSONAL) },
        { "C:\\dl", IDS_FOLDER_PROTECTED, "C:\\dl\\" },
        { "C:\\users", IDS_FOLDER_PROTECTED, profile },
        { " \t\"c:/WINDOWS\"\t", IDS_FOLDER_PROTECTED, alias },
        { specialFolder(CSIDL_SYSTEM) + "Quorvel\\inner", IDS_FOLDER_PROTECTED, alias },
        { common + "Quorvel", IDS_FOLDER_PROTECTED, alias },
        { "C:\\OTHER USER\\..\\other user\\", IDS_FOLDER_PROTECTED, "C:\\other user\\" },
        { "C:\\marked", IDS_FOLDER_PROTECTED, "C:\\marked\\" },
        { "C:\\alias", IDS_FOLDER_HOLDS_SETUP, alias },
        { "C:\\ALIAS\\REL\xAD" "EASE\\.", IDS_PROGRAM_MISSING, alias },
        { "S:\\rel\xAD" "ease\\inner", IDS_FOLDER_HOLDS_SETUP, alias },
        { "S:\\release\xAD", 0, alias },
        { programFiles + "Quorvel", 0, alias },
        { "C:\\copy", IDS_COPY_INCOMPLETE, alias },
        { "C:\\lost", IDS_COPY_INCOMPLETE, alias },
        { tooLong, IDS_FOLDER_TOO_LONG, alias },
    };
    startMessageBoxWatcher();
    for (const auto& c : cases) {
        CAPTURE(c.typed);
        InstallState state = {};
        lstrcpyA(state.setupFolder, (c.typed == tooLong ? tooLong : c.typed == "C:\\lost" ? nowhere : release).c_str());
        HWND page = createPage(IDD_FOLDER, FolderPageProc, &state);
        SetDlgItemTextA(page, IDC_FOLDER, c.typed.c_str());
        TakeTypedFolder(page, &state);
        DestroyWindow(page);
        char target[MAX_PATH] = "sentinel";
        if (!c.message) {
            CHECK_EQ(RefusalOfFolder(&state, target), 0u);
            CHECK_EQ(Bytes(target), Bytes(state.installFolder));
            continue;
        }
        writeFile(c.watched + "sentinel.txt", "keep");
        std::vector<std::string> before = listTree(c.watched, c.watched != "C:\\");
        int recycled = recycleBinCount();
        int failedRow = state.inPlace ? ROW_LINKS : c.message == IDS_COPY_INCOMPLETE ? ROW_COPY : ROW_EMPTY;

        CHECK_EQ(runSteps(&state), 0);

        std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
        REQUIRE_EQ(boxes.size(), 1u);
        char format[260], text[1024];
        LoadStringA(instanceHandle, c.message, format, sizeof format);
        wsprintfA(text, format, state.installFolder);
        CHECK_EQ(Bytes(boxes[0].text), Bytes(text));
        CHECK_EQ(boxes[0].owner, testWindow());
        CHECK_EQ(rowsAtBox[failedRow], STEP_FAILED);
        CHECK((failedRow == ROW_LINKS || rowState(failedRow + 1) == STEP_NONE));
        // The cross on the button face, and nothing else in its square.
        RedrawWindow(stepsPage, 0, 0, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC dc = GetDC(GetDlgItem(stepsPage, stepRows[failedRow]));
        int cross = 0, others = 0;
        for (int pixel = 0; pixel < 144; ++pixel) {
            COLORREF seen = GetPixel(dc, pixel % 12, pixel / 12);
            cross += seen == RGB(128, 0, 0);
            others += seen != RGB(128, 0, 0) && seen != GetSysColor(COLOR_BTNFACE);
        }
        ReleaseDC(GetDlgItem(stepsPage, stepRows[failedRow]), dc);
        CHECK(cross > 10);
        CHECK_EQ(others, 0);
        CHECK_EQ(listTree(c.watched, c.watched != "C:\\"), before);
        CHECK_EQ(recycleBinCount(), recycled);
        DestroyWindow(stepsPage);
        DeleteFileA((c.watched + "sentinel.txt").c_str());
    }
    CloseHandle(held);
    // Differing from setup's folder only where the soft hyphen stands, the
    // typed folder is another one, and it is filled.
    InstallState moved = {};
    lstrcpyA(moved.setupFolder, release.c_str());
    HWND page = createPage(IDD_FOLDER, FolderPageProc, &moved);
    SetDlgItemTextA(page, IDC_FOLDER, "C:\\alias\\releas\xAD" "e");
    TakeTypedFolder(page, &moved);
    DestroyWindow(page);
    CHECK_EQ(runSteps(&moved), 1);
    CHECK_EQ(listTree(moved.installFolder), listTree(release));
    DestroyWindow(stepsPage);
    CHECK_FALSE(fileExists(common + "Quorvel"));
    CHECK_EQ(listTree("C:\\other user\\"), std::vector<std::string>{ "Documents\\" });
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, otherProfile);
    SetFileAttributesA("C:\\marked", FILE_ATTRIBUTE_NORMAL);
    for (const char* made : { "C:\\alias", "C:\\other user", "C:\\marked", "C:\\copy", "C:\\dl", "C:\\lost" })
        removeTree(made);
    stopMessageBoxWatcher();
}

// Whether access keeps out what the folder above passes on; who may write.
static std::string writers(PSECURITY_DESCRIPTOR access)
{
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision;
    PACL list = 0;
    BOOL present, defaulted;
    GetSecurityDescriptorControl(access, &control, &revision);
    GetSecurityDescriptorDacl(access, &present, &list, &defaulted);
    std::string names = control & SE_DACL_PROTECTED ? "protected" : "inherits";
    ACCESS_ALLOWED_ACE* entry;
    char* sid;
    for (DWORD index = 0; list && GetAce(list, index, (void**)&entry); ++index)
        if ((entry->Mask & FILE_WRITE_DATA) && ConvertSidToStringSidA(&entry->SidStart, &sid))
            names += std::string(" ") + sid, LocalFree(sid);
    return names;
}

TEST_CASE("a new folder outside the profile is Administrators' and SYSTEM's to change; a failed record shows its "
          "cross, and the next try redoes only the links and the record")
{
    // Wine keeps no permissions on its files: the descriptor that a new
    // folder is made with stands for them.
    PSECURITY_DESCRIPTOR access;
    REQUIRE(ProgramFolderAccess(&access));
    CHECK_EQ(writers(access), "protected S-1-5-18 S-1-5-32-544");
    LocalFree(access);
    removeTree("C:\\made");
    makeFolders("C:\\source");
    writeFile("C:\\source\\Quorv.exe", "program");
    // Everyone may do anything with the key but set its values.
    PSECURITY_DESCRIPTOR denied = 0;
    HKEY key;
    REQUIRE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x2;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                 &denied, 0));
    REQUIRE_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, appPathsKey, 0, 0, 0, KEY_ALL_ACCESS, 0, &key, 0), ERROR_SUCCESS);
    CHECK_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, denied), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(denied);
    startMessageBoxWatcher();
    InstallState state = { "C:\\source\\", "C:\\made\\Quorvel\\", 0, 0, 0, 0, 0 };
    CHECK_EQ(runSteps(&state), 0);
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_NE(boxes[0].text.find(appPathsKey), std::string::npos);
    CHECK_EQ(rowsAtBox[ROW_LINKS], STEP_FAILED);
    DestroyWindow(stepsPage);

    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
    writeFile("C:\\made\\Quorvel\\settings.txt", "kept");
    CHECK_EQ(runSteps(&state), 1);
    CHECK_EQ(listTree("C:\\made\\Quorvel\\"), (std::vector<std::string>{ "Quorv.exe", "settings.txt" }));
    DestroyWindow(stepsPage);
    stopMessageBoxWatcher();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
    removeTree("C:\\made");
    removeTree("C:\\source");
}

static HRESULT sheetApartment;

// Learns whether the sheet's thread is a COM apartment already (a second
// initialisation of another kind is refused), then closes the sheet.
static LRESULT CALLBACK closeSheet(int code, WPARAM window, LPARAM)
{
    if (code == HCBT_ACTIVATE && !sheetApartment) {
        sheetApartment = CoInitializeEx(0, COINIT_MULTITHREADED);
        PostMessageA((HWND)window, WM_COMMAND, IDCANCEL, 0);
    }
    return 0;
}

TEST_CASE("the wizard runs in a COM apartment, which the folder browser needs")
{
    testWindow();
    InstallState state = {};
    HHOOK hook = SetWindowsHookExA(WH_CBT, closeSheet, 0, GetCurrentThreadId());
    RunWizard(&state);
    UnhookWindowsHookEx(hook);
    CHECK_EQ(sheetApartment, RPC_E_CHANGED_MODE);
}
