#pragma once
#define IDD_LIST_HOST 300
#define IDC_HOST_LIST 1013
#define IDC_HOST_OTHER 1000
