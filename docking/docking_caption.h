// The caption a docked box draws itself: a band along the top (or, in a
// horizontal row, along the left side) with the window text and a close
// button, active while the focus is inside the box.
#pragma once

#include <windows.h>

namespace dockwins {

class CCaptionBase {
 public:
  // A button in a caption band.
  class CButton {
   public:
    RECT rect{};
    // Places the button in a caption rectangle of the given orientation.
    virtual void CalcRect(const RECT& caption, bool horizontal) = 0;
    virtual ~CButton() = default;
    virtual void DrawPressed(HDC dc, bool active) = 0;
    virtual void Draw(HDC dc, bool active) = 0;
    // Drawn while the pointer is over it and no button is held.
    virtual void Hot(HDC dc, bool active) = 0;
    // state: 0 normal, 1 hot, 2 pressed.
    virtual void Paint(HDC dc, int state, bool active) = 0;
  };
};

class CVC7LikeExCaption {
 public:
  class CButton : public CCaptionBase::CButton {
   public:
    void DrawPressed(HDC dc, bool active) override { Paint(dc, 2, active); }
    void Draw(HDC dc, bool active) override { Paint(dc, 0, active); }
    void Hot(HDC dc, bool active) override { Paint(dc, 1, active); }
  };
  // The close button: a drawn cross on small captions, the "r" glyph of
  // the "Marlett" font on larger ones.
  class CCloseButton : public CButton {
   public:
    void CalcRect(const RECT& caption, bool horizontal) override;
    void Paint(HDC dc, int state, bool active) override;
  };

  RECT rect{};  // window coordinates of the box
  bool horizontal = true;
  int thickness = 0;
  CCloseButton close;

  CVC7LikeExCaption() { UpdateMetrics(); }
  // The thickness for the system's small-caption height.
  void UpdateMetrics();
  // Places the band and its button in a window rectangle given in window
  // coordinates; an empty caption when `with_caption` is false.
  void CalcRect(const RECT& window, bool with_caption);
  // HTCAPTION, HTCLOSE or HTNOWHERE for a point in window coordinates.
  LRESULT HitTest(POINT pt) const;
  // Paints the band, the text and the button into the box's window DC.
  void Draw(HWND box, HDC dc) const;
  // Tracks the close button with the mouse held down: true when the
  // button was released over it.
  bool TrackClose(HWND box);

  // The focus is in the box (the box or one of its children).
  static bool IsActive(HWND box);
};

}  // namespace dockwins
