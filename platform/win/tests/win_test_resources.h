// Resource ids of the window-layer tests.
#pragma once
#define IDD_TEST_DIALOG 100
#define IDC_TEST_LABEL 1001
