// Resource ids of the frame and command bar tests.
#pragma once
#define IDR_TEST_FRAME 128
#define ID_FILE_NEW 0x8001
#define ID_FILE_OPEN 0x8002
#define ID_APP_EXIT 0x8003
#define ID_EDIT_COPY 0x8010
#define ID_EDIT_PASTE 0x8011
#define ID_EDIT_RADIO 0x8012
#define ID_VIEW_STATUS 0x8020
#define ID_VIEW_DEFAULT 0x8021
#define ID_VIEW_MORE 0x8022
