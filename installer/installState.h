// The record that one run of setup carries through every wizard page.
#pragma once
#include "paths.h"

struct InstallState {
    char setupFolder[PATH_SIZE];    // where the files to install lie, with a trailing backslash
    char installFolder[PATH_SIZE];  // with a trailing backslash
    int inPlace;                    // 1: setup runs from the installation folder itself
    int filesInstalled;             // 1: this folder was emptied and filled by an earlier try
    int linkOnDesktop;
    int linkInStartMenuRoot;
    int linkInProgramsGroup;
};
