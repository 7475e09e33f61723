// Resource identifiers of Quilbrook.exe.
#pragma once

#define IDR_MAINFRAME 128

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates
#define IDD_RESIZE_OPTION   102
#define IDD_COMPRESS_OPTION 116
#define IDD_SELECT_FILE     117
#define IDD_OUTPUT_OPTION   118
#define IDD_PROGRESS        137

// Strings
#define IDS_PROGRESS_CAPTION 102

// Picture selection page
#define IDC_FILE_LIST   1013
#define IDC_ADD_FILE    1014
#define IDC_ADD_FOLDER  1015
#define IDC_REMOVE_ONE  1016
#define IDC_REMOVE_ALL  1017

// Resize options page
#define IDC_HEIGHT_EDIT       1008
#define IDC_WIDTH_EDIT        1032
#define IDC_RESIZE_TO_PERCENT 1038
#define IDC_PERCENT_SLIDER    1039
#define IDC_PERCENT_EDIT      1040
#define IDC_RESIZE_TO_VALUE   1041
#define IDC_KEEP_RATIO        1048

// Compress options page
#define IDC_COMPRESS_TO_SIZE  1016
#define IDC_SIZE_LIMIT_EDIT   1021
#define IDC_LEVEL_SLIDER      1033
#define IDC_COMPRESS_BY_LEVEL 1035
#define IDC_LEVEL_EDIT        1036
#define IDC_SIZE_UNIT         1042

// Output options page
#define IDC_OUTPUT_FOLDER     1000
#define IDC_BROWSE            1001
#define IDC_DEFAULT_FOLDER    1002
#define IDC_VIEW_FOLDER       1017
#define IDC_OPEN_AFTER_DONE   1037

// Progress dialog
#define IDC_PROGRESS_STATUS   1043
#define IDC_PROGRESS_PERCENT  1044
#define IDC_PROGRESS_BAR      1045
