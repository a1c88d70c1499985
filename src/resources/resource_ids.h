// Resource and control identifiers of the component's module.
#pragma once

#define IDD_CACHE_STATS 101
#define IDR_ABOUT_RTF 104
#define IDD_POOL_STATS 105
#define IDD_POOL_LENGTH_PAGE 106
#define IDD_POOL_VALUE_PAGE 107

#define IDC_TAB 1001
#define IDC_PROGRESS 1002
#define IDC_POOL_LIST 1004
#define IDC_REFRESH 3
