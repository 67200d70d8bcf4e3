// Which installation folders the safety check lets through, and how it
// reads the system's own spelling of a place.
#include <doctest/doctest.h>
#include <string>
#include "bytes.h"
#include "folderSafety.h"
#include "installState.h"
#include "shellChecks.h"
#include "resources/resource.h"
#include <shlobj.h>

static UINT refusal(const std::string& setupFolder, const std::string& installFolder, char* target)
{
    InstallState state = {};
    lstrcpyA(state.setupFolder, setupFolder.c_str());
    lstrcpyA(state.installFolder, installFolder.c_str());
    lstrcpyA(target, "sentinel");
    return refusalOfFolder(&state, target);
}

TEST_CASE("ordinary folders for programs are accepted as they are spelled")
{
    std::string folders[] = { "C:\\Quorvel\\", specialFolder(CSIDL_PROGRAM_FILES) + "Quorvel\\",
                              specialFolder(CSIDL_PROFILE) + "Quorvel\\", "D:\\Tools\\Quorvel\\" };
    for (const std::string& folder : folders) {
        CAPTURE(folder);
        if (GetDriveTypeA(folder.substr(0, 3).c_str()) <= DRIVE_NO_ROOT_DIR)
            continue;
        char target[MAX_PATH];
        CHECK_EQ(refusal("C:\\release\\", folder, target), 0u);
        CHECK_EQ(Bytes(target), Bytes(folder.c_str()));
    }
}

// Drive S: is another name for C:\alias (tests/wine-run), as a subst or
// mapped drive is on Windows.
TEST_CASE("a folder holding setup or inside its folder is refused by whatever name")
{
    removeTree("C:\\alias");
    makeFolders("C:\\alias\\release\\inner");
    REQUIRE_EQ(GetFileAttributesA("S:\\release\\inner"), (DWORD)FILE_ATTRIBUTE_DIRECTORY);
    const char* const cases[][2] = {
        { "C:\\alias\\release\\", "S:\\release\\inner\\" },
        { "C:\\alias\\release\\", "S:\\release\\new\\" },
        { "S:\\release\\", "C:\\alias\\" },
        { "S:\\release\\", "C:\\alias\\release\\inner\\" },
    };
    for (const auto& c : cases) {
        std::string setupFolder = c[0], typed = c[1];
        CAPTURE(setupFolder);
        CAPTURE(typed);
        char target[MAX_PATH];
        CHECK_EQ(refusal(c[0], c[1], target), (UINT)IDS_FOLDER_HOLDS_SETUP);
    }
    char target[MAX_PATH];
    CHECK_EQ(refusal("C:\\alias\\release\\", "S:\\elsewhere\\", target), 0u);
    removeTree("C:\\alias");
}

TEST_CASE("a final path loses its long prefix and keeps a share's two backslashes")
{
    const char* const cases[][2] = {
        { "\\\\?\\C:\\Quorvel", "C:\\Quorvel" },
        { "\\\\?\\UNC\\server\\share\\Quorvel", "\\\\server\\share\\Quorvel" },
        { "\\\\?\\unc\\server\\share", "\\\\server\\share" },
        { "C:\\Quorvel", "C:\\Quorvel" },
    };
    for (const auto& c : cases) {
        std::string finalPath = c[0];
        CAPTURE(finalPath);
        char plain[MAX_PATH] = "sentinel";
        withoutLongPrefix(c[0], plain);
        CHECK_EQ(Bytes(plain), Bytes(c[1]));
    }
}
