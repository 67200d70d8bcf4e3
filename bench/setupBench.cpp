// Times full installations by Setup.exe into an empty folder: five rounds,
// printed as a table row each for the installation proper (Next on the
// steps page to the finish page) and the whole run (start to end), with
// the median, the fastest and the slowest. Run by bench/setup-bench.
#include <algorithm>
#include <stdio.h>
#include <vector>
#include "setupPilot.h"
#include <shlobj.h>

static void printRow(const char* name, std::vector<DWORD> times)
{
    std::sort(times.begin(), times.end());
    printf("| %-52s | %8lu ms | %8lu ms | %8lu ms |\n", name, times[times.size() / 2], times.front(), times.back());
}

int main()
{
    OleInitialize(0);
    std::vector<DWORD> installs, wholeRuns;
    for (int round = 0; round < 5; ++round) {
        removeTree("C:\\Quorvel");
        removeTree(specialFolder(CSIDL_PROGRAMS) + "Quorvel");
        DeleteFileA((specialFolder(CSIDL_DESKTOPDIRECTORY) + "Quorvel.lnk").c_str());
        prepareRelease();
        DWORD started = GetTickCount();
        Outcome outcome = installWith(release + "Setup.exe");
        if (outcome.reached != FINISH) {
            fprintf(stderr, "setup_bench: the installation stopped on page %d\n", outcome.reached);
            return 1;
        }
        setCheck(FINISH, IDC_SHOW_README, 0);
        setCheck(FINISH, IDC_RUN_PROGRAM, 0);
        if (!press(FINISH_BUTTON) || !setupEnded()) {
            fprintf(stderr, "setup_bench: Setup did not end at Finish\n");
            return 1;
        }
        installs.push_back(outcome.installMilliseconds);
        wholeRuns.push_back(GetTickCount() - started);
    }
    printRow("installation proper (Next on the steps page to Finish)", installs);
    printRow("whole run (start of Setup.exe to its end)", wholeRuns);
    return 0;
}
