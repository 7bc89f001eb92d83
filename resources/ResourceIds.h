// Resource identifiers shared by the resource script and the module's code.
#ifndef KORVANE_RESOURCE_IDS_H
#define KORVANE_RESOURCE_IDS_H

#define IDS_ALERT_CAPTION 2
#define IDS_NEEDS_ADVANCE_STATE 16996
#define IDS_NEEDS_BUFFER_SUITE 16997
#define IDS_INCOMPATIBLE_HOST 16998
#define IDS_NEEDS_HANDLE_SUITE 16999

#define IDD_OPTIONS 101
#define IDD_ABOUT 16000
#define IDR_PIPL 16000

// The usual id of controls the code never addresses. The system's resource
// headers define it only in winres.h, which the script does not include.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDC_INTERLACE 1000
#define IDC_WRITE_FILE_INFO 1001
#define IDC_FILTER_LIST 1004
#define IDC_BEST_SPEED 1010
#define IDC_BEST_SIZE 1011

#endif
