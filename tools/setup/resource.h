// Identifiers of the setup window's dialog and controls.
#pragma once

#define IDD_SETUP 100
#define IDC_ROWS_LABEL 101
#define IDC_ROWS 102
#define IDC_CHANGE 103
#define IDC_UNBIND 104
#define IDC_FOLDER 105
#define IDC_STATUS 106
#define IDC_GAME 107
#define IDC_FINDINGS_LABEL 108
#define IDC_FINDINGS 109
