// Resources of the layout gallery: the protocol details dialog. Each
// control's box (x, y, width, height in dialog units) is named once here, so
// the resource script and the tests that check the layout read the same
// numbers.
#pragma once

#define IDD_PROTOCOL_DETAILS 200

#define IDC_NAME_LABEL 1001
#define IDC_NAME 1002
#define IDC_COMMENT_BOX 1003
#define IDC_COMMENT 1004
#define IDC_SAVED 1005

#define DETAILS_SIZE 240, 150
#define BOX_NAME_LABEL 7, 9, 30, 8
#define BOX_NAME 40, 7, 193, 14
#define BOX_COMMENT_BOX 7, 26, 226, 96
#define BOX_COMMENT 13, 37, 214, 79
#define BOX_SAVED 7, 131, 110, 8
#define BOX_OK 129, 129, 50, 14
#define BOX_CANCEL 183, 129, 50, 14

// The group box frames the comment at these distances (left, top, right,
// bottom, dialog units).
#define COMMENT_FRAME 6, 11, 6, 6
