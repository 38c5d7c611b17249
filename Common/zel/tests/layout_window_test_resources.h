// Resource ids of the dialog layout tests beside the gallery's dialog.
#pragma once
#define IDD_CHANNEL_PAGE 300
#define IDD_OWN_GRIP 301
#define IDC_PAGE_GAIN 3001
#define IDC_PAGE_APPLY 3002
#define IDC_OWN_GRIP 0xE801
