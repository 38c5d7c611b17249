// Resource ids of the main window's toolbar and of the command bar's
// images for commands that have no toolbar button.
#pragma once

#define IDI_COMMAND_EXIT 271     // Exit and the tray's Exit
#define IDI_COMMAND_RESTORE 272  // the tray's Restore
#define IDI_COMMAND_REPAIR 276   // repair of the installation
#define IDB_TOOLBAR_HOT 285      // the toolbar's images under the mouse
#define IDI_COMMAND_OPTIONS 311  // User Options
