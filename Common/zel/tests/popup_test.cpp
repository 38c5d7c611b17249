// Where popup menus open, on the display of the test run.
#include <gtest/gtest.h>

#include <windows.h>

#include "zel/popup.h"

namespace {

RECT primary_work_area() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcWork;
}

TEST(PopupPosition, APointOnAMonitorKeepsItsX) {
  const RECT work = primary_work_area();
  EXPECT_EQ(zel::clamp_to_monitor_x(work.left + 10, work.top + 10), work.left + 10);
  EXPECT_EQ(zel::clamp_to_monitor_x(work.right - 1, work.top + 10), work.right - 1);
}

TEST(PopupPosition, APointBesideEveryMonitorComesToTheNearestWorkAreasEdge) {
  const RECT work = primary_work_area();
  const int left_of_all = ::GetSystemMetrics(SM_XVIRTUALSCREEN) - 50;
  const int right_of_all = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN) + 50;
  EXPECT_EQ(zel::clamp_to_monitor_x(left_of_all, work.top + 10), work.left);
  EXPECT_EQ(zel::clamp_to_monitor_x(right_of_all, work.top + 10), work.right);
}

}  // namespace
