#pragma once
// Resource and control ids, shared by the .rc files and the code.

#define IDR_MAINFRAME 128
#define IDD_TQ2ZULSETUP_DIALOG 102

#define IDC_ADD_MODULE 1000
#define IDC_DELETE_SELECTED 1003
#define IDC_MODULE_LIST 1013
// The apply button carries IDCANCEL (2) and "CLOSE" carries IDOK (1).
