#pragma once
// Ids of the module's resources, shared by Brevin.rc and the code that loads them.
#define IDS_BREVIN_PAGE_TITLE 1015
#define IDD_BREVIN_PAGE 101
#define IDC_BREVIN_PARAM1 1005
#define IDC_BREVIN_PARAM2 1006
