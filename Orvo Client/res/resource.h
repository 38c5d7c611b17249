// Resource ids of Orvo Client: the main frame's title, menu, accelerators
// and icon (128), its other icons, the tray menu, the close dialog, the
// installer strings and the status texts of the first status pane.
#pragma once

#define IDR_MAINFRAME 128   // string "Orvo Client", menu, accelerators, icon
#define IDI_TRAY_BLINK 218  // tray icon, blinking
#define IDI_DATA_RECEIVED 226
#define IDI_IDLE 227
#define IDI_SYSTEM_TAB 262
#define IDR_TRAY_MENU 265
#define IDD_CLOSE 283
#define IDC_CLOSE_TEXT 1000
#define IDC_SHOW_NEXT_TIME 1001

// Installer: the product code and the caption of a failed repair.
#define IDS_PRODUCT_CODE 0xF014
#define IDS_INSTALL_ERROR_CAPTION 0xF015

// Status texts of the first status pane.
#define IDS_NOT_CONNECTED 0x9000
#define IDS_COMMUNICATING 0x9001
#define IDS_READY 0x9002
#define IDS_ERROR_STATUS 0x9003

// Commands of the main frame.
#define ID_VIEW_OVERVIEW 0x8004
#define ID_VIEW_SECONDARY 0x8005
#define ID_VIEW_DISPLAY_OPTIONS 0x800D
#define ID_VIEW_IMPEDANCE 0x8012
#define ID_ACTION_GLOBAL_DEBLOCK 0x8013
#define ID_HELP_TOPICS 0x801D
#define ID_HELP_WEB 0x801E
#define ID_NEXT_PANE 0x8020
#define ID_PREV_PANE 0x8021
#define ID_COPY_STATE 0x8024
#define ID_COPY_TEXT 0x8026
#define ID_PASTE 0x8027
#define ID_TRAY_RESTORE 0x802C
#define ID_TRAY_EXIT 0x802D
#define ID_UNDO 0x8033
#define ID_REDO 0x8034
#define ID_SYSTEM_TAB 0x8036
#define ID_EVENT_LOG_TAB 0x8037
#define ID_HELP_MAIL 0x8038
#define ID_REPAIR 0x803B
#define ID_HELP_PROGREF 0x803D
#define ID_VIEW_PROTOCOL_MANAGER 0x8043
#define ID_SAVE_PROTOCOL 0x8046
#define ID_SAVE_PROTOCOL_AS 0x8047
#define ID_ACTION_RESET 0x8065
#define ID_VIEW_USER_OPTIONS 0x8067
#define ID_HELP_CHECK_UPDATES 0x806B
#define ID_HELP_CONFIGURE_UPDATES 0x806C
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801

// The maker's web address (the web command's page and its tip).
#define ORVO_WEB_ADDRESS "https://www.quarnell.example/"
