// How a failed step shows: its row's cross before the box that says why,
// and a registry record that could not be written told as a failure.
#include <doctest/doctest.h>
#include <string>
#include <vector>
#include "commonControls.h"
#include "installState.h"
#include "installSteps.h"
#include "messageBoxWatcher.h"
#include "setupState.h"
#include "shellChecks.h"
#include "statusControl.h"
#include "wizard.h"
#include "resources/resource.h"
#include <sddl.h>

static HWND owner;
static HWND stepsPage;
static int rowsAtBox[ROW_COUNT];

static const int rowControls[ROW_COUNT] = { IDC_STATUS_EMPTY, IDC_STATUS_COPY, IDC_STATUS_LINKS };

static void readRows(HWND)
{
    for (int row = 0; row < ROW_COUNT; ++row)
        rowsAtBox[row] = GetWindowLongA(GetDlgItem(stepsPage, rowControls[row]), 0);
}

static int runSteps(InstallState* state)
{
    if (!owner) {
        instanceHandle = GetModuleHandleA(0);
        REQUIRE(loadSystemLibraries());
        registerStatusControl();
        owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 400, 0, 0, instanceHandle, 0);
    }
    static PROPSHEETPAGEA description;
    description.lParam = (LPARAM)state;
    stepsPage = CreateDialogParamA(instanceHandle, MAKEINTRESOURCEA(IDD_STEPS), owner, stepsPageProc,
                                   (LPARAM)&description);
    for (int& row : rowsAtBox)
        row = -1;
    onMessageBoxSeen = readRows;
    int result = RunInstallation(state, owner, stepsPage);
    onMessageBoxSeen = 0;
    DestroyWindow(stepsPage);
    return result;
}

TEST_CASE("a failed row shows its cross before the box that says why")
{
    removeTree("C:\\stepfail");
    makeFolders("C:\\stepfail\\from");
    writeFile("C:\\stepfail\\from\\Setup.exe", "setup");
    writeFile("C:\\stepfail\\from\\held.txt", "held");
    HANDLE held = CreateFileA("C:\\stepfail\\from\\held.txt", GENERIC_READ | GENERIC_WRITE, 0, 0, OPEN_EXISTING, 0, 0);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    struct Case {
        const char* folder;
        int row;
    };
    const Case cases[] = { { "C:\\", ROW_EMPTY }, { "C:\\stepfail\\to\\", ROW_COPY } };
    startMessageBoxWatcher();
    for (const Case& c : cases) {
        std::string folder = c.folder;
        CAPTURE(folder);
        InstallState state = {};
        lstrcpyA(state.setupFolder, "C:\\stepfail\\from\\");
        lstrcpyA(state.installFolder, c.folder);
        CHECK_EQ(runSteps(&state), 0);
        CHECK_EQ(takeMessageBoxes(1).size(), 1u);
        CHECK_EQ(rowsAtBox[c.row], STEP_FAILED);
    }
    stopMessageBoxWatcher();
    CloseHandle(held);
    removeTree("C:\\stepfail");
}

TEST_CASE("a registry record that cannot be written fails the installation and says where")
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
    // Everyone may do anything with the key but set its values.
    PSECURITY_DESCRIPTOR denied = 0;
    REQUIRE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x2;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                 &denied, 0));
    HKEY key;
    REQUIRE_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, appPathsKey, 0, 0, 0, KEY_ALL_ACCESS, 0, &key, 0), ERROR_SUCCESS);
    CHECK_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, denied), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(denied);

    InstallState state = {};
    lstrcpyA(state.setupFolder, "C:\\recorded\\");
    lstrcpyA(state.installFolder, "C:\\recorded\\");
    state.inPlace = 1;
    startMessageBoxWatcher();
    CHECK_EQ(runSteps(&state), 0);
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
    stopMessageBoxWatcher();
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_NE(boxes[0].text.find(appPathsKey), std::string::npos);
    CHECK_EQ(rowsAtBox[ROW_LINKS], STEP_DONE);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
}
