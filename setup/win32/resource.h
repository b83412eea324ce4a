// Resource numbers shared by setup.rc and the code that loads them.
#define IDI_SETUP 101
#define IDD_PROGRESS 102
#define IDC_PROGRESS_BAR 1000
#define IDC_EXTRACTING_TEXT 1001
