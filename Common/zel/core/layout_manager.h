// Rule-based dialog layout: the tree of nodes and edge rules that places a
// dialog's controls when it is resized, and its arithmetic.
//
// A dialog describes its layout once as a tree: containers whose four edges
// come from edge rules, and control nodes that anchor one control to edges
// of the area their container gives them. The tree asks the dialog for its
// controls' rectangles through `dialog_controls`, which the dialog window
// answers; `dialog_layout` (the window half) drives it on resizing.
#pragma once

#include <array>
#include <climits>
#include <exception>
#include <memory>
#include <vector>

#include <boost/exception/exception.hpp>

#include "core/geometry.h"

namespace zel::layout {

// Edges of an area and sides of a control, as rules number them: 0 and 2
// lie on the horizontal axis, 1 and 3 on the vertical one.
enum : int { edge_left = 0, edge_top = 1, edge_right = 2, edge_bottom = 3 };

// Anchor flags of a control node.
enum : unsigned {
  anchor_left = 0x01,
  anchor_top = 0x02,
  anchor_right = 0x04,
  anchor_bottom = 0x08,
  zero_margins = 0x10,  // the control covers its area: margins start at 0
  fill_flags = 0x1F,
};

// The identifier of the size grip the dialog adds at its bottom-right corner.
constexpr int size_grip_id = 0xE801;

// An invalid layout: an edge outside 0 to 3, or a control side of the
// other axis than the edge it should give.
class exception : public std::exception, public boost::exception {
 public:
  const char* what() const noexcept override;
  // Throws the exception carrying where it was raised.
  [[noreturn]] static void raise(const char* function, const char* file, int line);
};

// What the tree asks of the dialog it lays out.
class dialog_controls {
 public:
  // The control's rectangle in dialog client coordinates; false when the
  // dialog has no such control window.
  virtual bool control_rect(int id, rect& out) const = 0;
  // Places the control at `to` (dialog client coordinates).
  virtual void move_control(int id, const rect& to) = 0;
  // `offset` dialog units in pixels, horizontally (cx) and vertically (cy).
  virtual size dialog_units(int offset) const = 0;

 protected:
  ~dialog_controls() = default;
};

class node {
 public:
  virtual void arrange(dialog_controls& dialog, const rect& area) = 0;
  virtual ~node() = default;
};

class rule {
 public:
  // The coordinate of `edge` (0 to 3) within `area`.
  virtual int evaluate(const dialog_controls& dialog, int edge, const rect& area) const = 0;
  virtual ~rule() = default;
};

using node_ptr = std::shared_ptr<node>;
using rule_ptr = std::shared_ptr<rule>;

// One dialog control, kept at fixed distances (margins) from the anchored
// edges of its area.
class control_node : public node {
 public:
  // Not yet measured: the margins are taken at the first arrange.
  static constexpr rect unmeasured{INT_MIN, INT_MIN, INT_MAX, INT_MAX};

  control_node(int id, unsigned flags);
  void arrange(dialog_controls& dialog, const rect& area) override;

  int id;
  unsigned flags;
  rect margins;
};

class container_node : public node, public std::enable_shared_from_this<container_node> {
 public:
  void arrange(dialog_controls& dialog, const rect& area) override;
  // Appends `child` (a null child is skipped); returns this container.
  std::shared_ptr<container_node> add(node_ptr child);

  std::vector<node_ptr> children;
  // Left, top, right, bottom; all empty for a plain container.
  std::array<rule_ptr, 4> rules;
};

using container_ptr = std::shared_ptr<container_node>;

// px from the area's left or top, or for a negative px |px| from its right
// or bottom.
class rule_absolute_px : public rule {
 public:
  explicit rule_absolute_px(int px) : px(px) {}
  int evaluate(const dialog_controls& dialog, int edge, const rect& area) const override;
  int px;
};

// A fraction of the area's width or height from its left or top.
class rule_ratio : public rule {
 public:
  explicit rule_ratio(float ratio) : ratio(ratio) {}
  int evaluate(const dialog_controls& dialog, int edge, const rect& area) const override;
  float ratio;
};

// A side of another control, moved outward by `offset` (dialog units or
// pixels, as the derived rule says); sides on the other axis than the edge
// are an invalid layout.
class rule_relative_control : public rule {
 public:
  rule_relative_control(int id, int side, int offset) : id(id), side(side), offset(offset) {}
  int id;
  int side;
  int offset;

 protected:
  // The side of control `id` moved outward by distance.cx (sides 0 and 2)
  // or distance.cy (sides 1 and 3).
  int moved_side(const dialog_controls& dialog, int edge, size distance) const;
};

class rule_relative_control_dlgunit : public rule_relative_control {
 public:
  using rule_relative_control::rule_relative_control;
  int evaluate(const dialog_controls& dialog, int edge, const rect& area) const override;
};

class rule_relative_control_px : public rule_relative_control {
 public:
  using rule_relative_control::rule_relative_control;
  int evaluate(const dialog_controls& dialog, int edge, const rect& area) const override;
};

// Builders.
std::shared_ptr<control_node> control(int id, unsigned flags);
std::shared_ptr<control_node> fill(int id);
// A container that lays its children out in the area it is given.
container_ptr container();
// A container with edge rules. A missing left or top rule is one shared
// absolute(0), a missing right or bottom rule one shared ratio(1.0): the
// container follows the area's edge there.
container_ptr container(rule_ptr left, rule_ptr top = {}, rule_ptr right = {}, rule_ptr bottom = {});
container_ptr operator<<(const container_ptr& parent, node_ptr child);

rule_ptr absolute(int px);
rule_ptr ratio(double ratio);
rule_ptr relative_dlgunit(int id, int side, int offset);
rule_ptr relative_px(int id, int side, int offset);
// A container over control `id`, each side moved outward by its offset in
// dialog units (a negative offset moves it inward).
container_ptr around_control(int id, int left, int top, int right, int bottom);

// The tree a dialog with a size grip arranges: the grip stays in the
// bottom-right corner beside the dialog's own tree.
container_ptr with_size_grip(node_ptr root);

// A child dialog's client extent raised to the extent it started with
// (`minimum`, -1 when none was recorded); compared unsigned, as the
// dialog's sizes are.
int at_least_minimum(int extent, int minimum);

}  // namespace zel::layout
