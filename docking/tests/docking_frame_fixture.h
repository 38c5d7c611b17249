// What the docking frame's window tests share: a shown top-level host with
// a docking frame (client area 600 x 400) in it and five hidden floating
// boxes, pumping helpers and rectangles in the frame's client coordinates.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "docking_gallery_frame.h"
#include "pump_until.h"

namespace dockwins::testing {

using gallery::CGalleryBox;
using gallery::CGalleryFrame;
using orvo::testing::PumpUntil;

// The top-level window the frames live in; it runs the focus handler's map
// first, as the client's main window does.
class CHostWindow : public WTL::CWindowImpl<CHostWindow, WTL::CWindow, WTL::CNullTraits> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Test.DockingHost", CS_DBLCLKS, COLOR_BTNFACE + 1}; }
  BEGIN_MSG_MAP(CHostWindow)
  if (CDockingFocusHandler* focus = CDockingFocusHandler::Instance())
    if (focus->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
  END_MSG_MAP()
};

constexpr DWORD FrameStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_CAPTION | WS_THICKFRAME;

class DockingFrame : public ::testing::Test {
 protected:
  // The host stays shown for the whole suite: hiding a shown top-level
  // window takes Wine two seconds on a display without a window manager.
  static void SetUpTestSuite() {
    host = new CHostWindow;
    host->Create(nullptr, RECT{0, 0, 760, 600}, L"docking host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    ::SetForegroundWindow(*host);
  }
  static void TearDownTestSuite() {
    host->DestroyWindow();
    delete host;
  }

  void SetUp() override {
    ASSERT_TRUE(host->IsWindow());
    OpenFrame(600, 400);
    const wchar_t* names[] = {L"one", L"two", L"three", L"four", L"five"};
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(boxes[i].Create(names[i]));
  }
  void TearDown() override {
    if (frame.IsWindow()) frame.DestroyWindow();
    for (CGalleryBox& box : boxes)
      if (box.IsWindow()) box.DestroyWindow();
  }

  // A frame whose client area is width x height.
  void OpenFrame(int width, int height) {
    RECT r{10, 10, 10 + width, 10 + height};
    ::AdjustWindowRectEx(&r, FrameStyle, FALSE, 0);
    ASSERT_TRUE(frame.Create(*host, r, L"frame", FrameStyle));
    RECT client;
    frame.GetClientRect(&client);
    ASSERT_EQ(client.right, width);
    ASSERT_EQ(client.bottom, height);
  }

  // A window's rectangle in the frame's client coordinates.
  zel::rect InFrame(HWND window) const {
    RECT r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    return ToRect(r);
  }

  // A request about a box sent to a target.
  DockRequest Ask(HWND target, HWND box, std::int32_t code, bool* answer = nullptr) {
    DockRequest request{};
    request.window = HandleValue(box);
    request.host = HandleValue(::GetParent(box));
    request.code = code;
    const bool taken = CGalleryFrame::Request(target, request);
    if (answer) *answer = taken;
    return request;
  }

  static inline CHostWindow* host = nullptr;
  CGalleryFrame frame;
  CGalleryBox boxes[5];
};

}  // namespace dockwins::testing
