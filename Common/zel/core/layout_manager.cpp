#include "core/layout_manager.h"

#include <boost/throw_exception.hpp>

#define ZEL_LAYOUT_RAISE() ::zel::layout::exception::raise(__func__, __FILE__, __LINE__)

namespace zel::layout {

namespace {

bool horizontal(int edge) {
  if (edge == edge_left || edge == edge_right) return true;
  if (edge == edge_top || edge == edge_bottom) return false;
  ZEL_LAYOUT_RAISE();
}

}  // namespace

const char* exception::what() const noexcept { return "zel::layout::exception - invalid layout"; }

void exception::raise(const char* function, const char* file, int line) {
  // Through Boost's wrapper, which records where it was raised and lets
  // the exception be carried across threads.
  boost::throw_exception(exception(), boost::source_location(file, static_cast<unsigned>(line), function));
}

control_node::control_node(int id, unsigned flags)
    : id(id), flags(flags), margins((flags & zero_margins) ? rect{} : unmeasured) {}

void control_node::arrange(dialog_controls& dialog, const rect& area) {
  rect now;
  if (!dialog.control_rect(id, now)) return;  // gone: skipped
  if (margins == unmeasured) {
    // Measured once, so the first layout reproduces the designed places.
    margins = {now.left - area.left, now.top - area.top, area.right - now.right, area.bottom - now.bottom};
  }
  const int width = now.width(), height = now.height();
  rect to = now;
  if (flags & anchor_left) {
    to.left = area.left + margins.left;
    if (!(flags & anchor_right)) to.right = to.left + width;
  }
  if (flags & anchor_top) {
    to.top = area.top + margins.top;
    if (!(flags & anchor_bottom)) to.bottom = to.top + height;
  }
  if (flags & anchor_right) {
    to.right = area.right - margins.right;
    if (!(flags & anchor_left)) to.left = to.right - width;
  }
  if (flags & anchor_bottom) {
    to.bottom = area.bottom - margins.bottom;
    if (!(flags & anchor_top)) to.top = to.bottom - height;
  }
  dialog.move_control(id, to);
}

void container_node::arrange(dialog_controls& dialog, const rect& area) {
  rect own = area;
  if (rules[edge_left]) {
    // Bottom first, left last, each against the area the container got.
    own.bottom = rules[edge_bottom]->evaluate(dialog, edge_bottom, area);
    own.right = rules[edge_right]->evaluate(dialog, edge_right, area);
    own.top = rules[edge_top]->evaluate(dialog, edge_top, area);
    own.left = rules[edge_left]->evaluate(dialog, edge_left, area);
  }
  for (const auto& child : children) child->arrange(dialog, own);
}

std::shared_ptr<container_node> container_node::add(node_ptr child) {
  if (child) children.push_back(std::move(child));
  return shared_from_this();
}

int rule_absolute_px::evaluate(const dialog_controls&, int edge, const rect& area) const {
  // A negative px counts back from the far edge: right - |px| is right + px.
  if (horizontal(edge)) return px >= 0 ? area.left + px : area.right + px;
  return px >= 0 ? area.top + px : area.bottom + px;
}

int rule_ratio::evaluate(const dialog_controls&, int edge, const rect& area) const {
  // The float ratio widened to double, the product truncated toward zero:
  // ratio(0.7) of 10 pixels is 6, since 0.7f is just below 0.7.
  const double r = ratio;
  if (horizontal(edge)) return area.left + static_cast<int>((area.right - area.left) * r);
  return area.top + static_cast<int>((area.bottom - area.top) * r);
}

int rule_relative_control::moved_side(const dialog_controls& dialog, int edge, size distance) const {
  rect other;
  if (!dialog.control_rect(id, other)) other = rect{};  // no such control: all zero
  if (horizontal(edge)) {
    if (side == edge_left) return other.left - distance.cx;
    if (side == edge_right) return other.right + distance.cx;
  } else {
    if (side == edge_top) return other.top - distance.cy;
    if (side == edge_bottom) return other.bottom + distance.cy;
  }
  ZEL_LAYOUT_RAISE();
}

int rule_relative_control_dlgunit::evaluate(const dialog_controls& dialog, int edge, const rect&) const {
  return moved_side(dialog, edge, dialog.dialog_units(offset));
}

int rule_relative_control_px::evaluate(const dialog_controls& dialog, int edge, const rect&) const {
  return moved_side(dialog, edge, size{offset, offset});
}

std::shared_ptr<control_node> control(int id, unsigned flags) { return std::make_shared<control_node>(id, flags); }

std::shared_ptr<control_node> fill(int id) { return control(id, fill_flags); }

container_ptr container() { return std::make_shared<container_node>(); }

container_ptr container(rule_ptr left, rule_ptr top, rule_ptr right, rule_ptr bottom) {
  auto c = container();
  rule_ptr near_edge, far_edge;
  auto or_shared = [](rule_ptr given, rule_ptr& shared, auto make) {
    if (given) return given;
    if (!shared) shared = make();
    return shared;
  };
  auto zero = [] { return absolute(0); };
  auto whole = [] { return ratio(1.0); };
  c->rules = {or_shared(std::move(left), near_edge, zero), or_shared(std::move(top), near_edge, zero),
              or_shared(std::move(right), far_edge, whole), or_shared(std::move(bottom), far_edge, whole)};
  return c;
}

container_ptr operator<<(const container_ptr& parent, node_ptr child) { return parent->add(std::move(child)); }

rule_ptr absolute(int px) { return std::make_shared<rule_absolute_px>(px); }

rule_ptr ratio(double r) { return std::make_shared<rule_ratio>(static_cast<float>(r)); }

rule_ptr relative_dlgunit(int id, int side, int offset) {
  return std::make_shared<rule_relative_control_dlgunit>(id, side, offset);
}

rule_ptr relative_px(int id, int side, int offset) {
  return std::make_shared<rule_relative_control_px>(id, side, offset);
}

container_ptr around_control(int id, int left, int top, int right, int bottom) {
  return container(relative_dlgunit(id, edge_left, left), relative_dlgunit(id, edge_top, top),
                   relative_dlgunit(id, edge_right, right), relative_dlgunit(id, edge_bottom, bottom));
}

container_ptr with_size_grip(node_ptr root) {
  return container() << std::move(root) << control(size_grip_id, anchor_right | anchor_bottom);
}

int at_least_minimum(int extent, int minimum) {
  if (minimum == -1) return extent;
  return static_cast<unsigned>(extent) < static_cast<unsigned>(minimum) ? minimum : extent;
}

}  // namespace zel::layout
