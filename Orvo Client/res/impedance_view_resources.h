// Resource IDs of the impedance view: its dialog, the sixteen electrode
// buttons and the texts of the buttons and their tips.
#pragma once

#define IDD_IMPEDANCE_VIEW 201

// Buttons 8000 to 8015, one per electrode.
#define IDC_ELECTRODE_FIRST 8000
#define IDC_ELECTRODE_LAST 8015

#define IDS_ELECTRODE_OFF 61428
#define IDS_ELECTRODE_ERROR 61429
#define IDS_TIP_IMPEDANCE 61430
#define IDS_TIP_LOWER_THRESHOLD 61431
#define IDS_TIP_UPPER_THRESHOLD 61432
#define IDS_TIP_IN_ERROR 61433
#define IDS_TIP_TURNED_OFF 61434
