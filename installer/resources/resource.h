/* Resource ids of Setup.exe. */
#pragma once

/* Wizard pages. */
#define IDD_WELCOME 106
#define IDD_FOLDER 112
#define IDD_STEPS 113
#define IDD_FINISH 132
#define IDD_LINKS 133

/* Pictures. */
#define IDI_SETUP 112
#define IDB_STEP_GLYPHS 142
#define IDI_GLOBE 144

/* Strings. */
#define IDS_SHEET_TITLE 14
#define IDS_BROWSE_TITLE 15
#define IDS_DRIVE_ROOT 16
#define IDS_FOLDER_INVALID 17
#define IDS_FOLDER_PROTECTED 18
#define IDS_FOLDER_HOLDS_SETUP 19
#define IDS_COPY_INCOMPLETE 20
#define IDS_SETUP_PATH_TOO_LONG 21
#define IDS_RECORD_FAILED 22
#define IDS_FOLDER_TOO_LONG 23
#define IDS_FOLDER_UNLISTED 24
#define IDS_FOLDER_NOT_MADE 25
#define IDS_PROGRAM_MISSING 26

/* Welcome page. */
#define IDC_TITLE 1054
#define IDC_GLOBE 1056

/* Folder page. */
#define IDC_FOLDER 1006
#define IDC_CHANGE_FOLDER 1029

/* Links page. */
#define IDC_LINK_START_ROOT 1051
#define IDC_LINK_DESKTOP 1052
#define IDC_LINK_GROUP 1053

/* Steps page: the status control and label of each row. */
#define IDC_STATUS_EMPTY 1034
#define IDC_LABEL_EMPTY 1031
#define IDC_STATUS_COPY 1035
#define IDC_LABEL_COPY 1039
#define IDC_STATUS_LINKS 1036
#define IDC_LABEL_LINKS 1055

/* Finish page. */
#define IDC_SHOW_README 1010
#define IDC_RUN_PROGRAM 1005
