/* Resource ids of Quorv.exe. */
#pragma once

/* Message catalogue. */
#define IDS_ERROR_CODE 1
#define IDS_INVALID_PAGE 2
#define IDS_WSACLEANUP_FAILED 3
#define IDS_WINSOCK_MISSING 4
#define IDS_CONNECT_FAILED 5
#define IDS_OUT_OF_MEMORY 6
#define IDS_ALWAYS_ON_TOP 8
#define IDS_RECEIVE_FAILED 9
#define IDS_SEND_FAILED 10
#define IDS_ABOUT_MENU 11
#define IDS_CONTACT_PAGE 13
#define IDS_INVALID_PAGE_REPORT_ELSEWHERE 14
#define IDS_INVALID_PAGE_NO_REPORT 15
#define IDS_UNTRANSLATABLE_CHARACTER 16
#define IDS_READY 11005
#define IDS_CONNECTING 11006
#define IDS_RECEIVING 11007
#define IDS_TRANSFERRING 11008
#define IDS_ABORTING 11009
#define IDS_LANGUAGE_NAMES 11010
#define IDS_NOT_COPIED 11011

/* Main window controls. */
#define IDC_ABORT 3
#define IDC_FROM_LIST 1000
#define IDC_TO_LIST 1001
#define IDC_RESULT 1002
#define IDC_AUTO_COPY 1003
#define IDC_SWAP 1004
#define IDC_TRANSLATE 1005
#define IDC_INPUT 1006
#define IDC_FROM_FLAG 1011
#define IDC_TO_FLAG 1012
#define IDC_STATUS_LINE 1023
#define IDC_TARGET_HEADING 1024
#define IDC_SEPARATOR 1020
#define IDC_STATUS_LABEL 1022

/* System menu commands of the main window. */
#define IDM_ALWAYS_ON_TOP 9998
#define IDM_ABOUT 9999

/* About box controls. */
#define IDC_COPYRIGHT_LINE 1012
#define IDC_VERSION_LINE 1048
#define IDC_WEBSITE 1151
#define IDC_EMAIL 1154
#define IDC_ADDRESS_LINE 1156

/* Dialogs, pictures and the icon. */
#define IDD_MAIN 101
#define IDD_ABOUT 145
#define IDI_QUORV 104
#define IDB_FLAG_US 105
#define IDB_FLAG_IT 106
#define IDB_FLAG_ES 107
#define IDB_FLAG_DE 108
#define IDB_FLAG_FR 109
#define IDB_FLAG_PT 110
#define IDB_BULLET 167
