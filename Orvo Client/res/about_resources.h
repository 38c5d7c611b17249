// Resource ids of the splash window and the About box (about.rc), shared
// by the program and its tests.
#pragma once

// The About page, an HTML resource by number.
#define IDR_ABOUT_PAGE 312
// "Unable to locate file: "
#define IDS_UNABLE_TO_LOCATE_FILE 0xF018

// The program's file version: the version resource's numbers and text.
#define ORVO_CLIENT_VERSION_NUMBERS 1, 0, 0, 0
#define ORVO_CLIENT_VERSION_TEXT "1.0.0.0"
