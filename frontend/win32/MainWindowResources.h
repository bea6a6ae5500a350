// Identifiers shared by norvale.rc and the main window: the icon, the menu and its commands.
#pragma once

// The lowest icon identifier: Explorer shows it as the program file's icon.
#define NORVALE_APP_ICON 1

#define NORVALE_MAIN_MENU 100
#define NORVALE_CMD_IMPORT_WATCH_LIST 101
#define NORVALE_CMD_EXPORT_WATCH_LIST 102
#define NORVALE_CMD_OFFLINE 103
#define NORVALE_CMD_START_POLLING 104
#define NORVALE_CMD_STOP_POLLING 105
