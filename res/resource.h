// Resource, command and control ids. Ids only, grouped by prefix.
#pragma once
#include "framework/FrameworkIds.h"

// Resources
#define IDD_ABOUTBOX                100
#define IDR_MAINFRAME               128
#define IDR_LIST_MENU               130
#define IDD_CONTROL_PANEL           132

// Controls of the control panel
#define IDC_QUERY                   1003
#define IDC_BROWSE                  1004
#define IDC_EXPORT_ALL              1005
#define IDC_EXPORT_VALID            1006
#define IDC_IMPORT_FILE             1009
#define IDC_IMPORT                  1010
#define IDC_EXPORT_INVALID          1011
#define IDC_CLEAN_INVALID           1012
#define IDC_CLEAN_DUPLICATES        1013
#define IDC_EXPORT_OTHER            1014
#define IDC_THREAD_COUNT            1015
#define IDC_IMPORT_LABEL            1016
#define IDC_IGNORE_LIST             1018
#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

// Commands of the program
#define ID_OPEN_WEB                 32779
#define ID_HELP_ONLINE              32780
#define ID_VIEW_SIDEBAR             32785
#define ID_RECHECK_SELECTED         32791
#define ID_RECHECK_TIMEOUTS         32792
#define ID_COPY_URLS                32793
#define ID_EXPORT_REPORT            32795
