// The test class that runs inside Rasper's process (rasper_line_helper.dll):
// its class id, and the clock its figures are measured with.
#pragma once

#include <windows.h>

// {5A1C2E30-7B7D-4C4A-9E51-2D6F0B1A9C41}
constexpr CLSID CLSID_RasperLineHelper = {0x5A1C2E30, 0x7B7D, 0x4C4A, {0x9E, 0x51, 0x2D, 0x6F, 0x0B, 0x1A, 0x9C, 0x41}};

inline double now_ms() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}
