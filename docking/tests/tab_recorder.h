// A parent window for tab strip tests: it records every notification the
// strip sends and answers each code as the test tells it.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "dot_net_tab_ctrl.h"

namespace orvo::testing {

// The common notification codes as the signed values the records carry.
constexpr int nm_click = static_cast<int>(NM_CLICK);
constexpr int nm_rclick = static_cast<int>(NM_RCLICK);
constexpr int nm_customdraw = static_cast<int>(NM_CUSTOMDRAW);

struct tab_notice {
  int code;
  int first;   // item, or the first index of a move record
  int second;  // the second index of a move record, else -1
  POINT pt;
  DWORD stage;  // custom draw only
  UINT state;   // custom draw only
};

class tab_recorder : public WTL::CWindowImpl<tab_recorder, WTL::CWindow, WTL::CNullTraits> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Test.TabRecorder"}; }
  BEGIN_MSG_MAP(tab_recorder)
  MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  END_MSG_MAP()

  std::map<int, LRESULT> answers;             // by code; 0 when absent
  LRESULT item_draw_answer = CDRF_DODEFAULT;  // for the per-tab stages
  std::vector<tab_notice> notices;
  dockwins::NMCTCCUSTOMDRAW last_draw{};

  std::vector<int> codes() const {
    std::vector<int> all;
    for (const auto& n : notices)
      if (n.code != nm_customdraw) all.push_back(n.code);
    return all;
  }

  // The last notice of a code; null when none came.
  const tab_notice* last(int code) const {
    for (auto n = notices.rbegin(); n != notices.rend(); ++n)
      if (n->code == code) return &*n;
    return nullptr;
  }

  LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    const int code = static_cast<int>(hdr->code);
    if (code == static_cast<int>(TTN_GETDISPINFOW) || code == static_cast<int>(TTN_SHOW) ||
        code == static_cast<int>(TTN_POP)) {
      bHandled = FALSE;
      return 0;
    }
    tab_notice n{code, -1, -1, {-1, -1}, 0, 0};
    if (code == nm_customdraw) {
      last_draw = *reinterpret_cast<const dockwins::NMCTCCUSTOMDRAW*>(lParam);
      n.stage = last_draw.nmcd.dwDrawStage;
      n.first = static_cast<int>(last_draw.nmcd.dwItemSpec);
      n.state = last_draw.nmcd.uItemState;
      notices.push_back(n);
      if (n.stage & CDDS_ITEM) return item_draw_answer;
    } else if (is_move(code)) {
      const auto* r = reinterpret_cast<const dockwins::NMCTC2ITEMS*>(lParam);
      n.first = r->iItem1;
      n.second = r->iItem2;
      n.pt = r->pt;
      notices.push_back(n);
    } else {
      const auto* r = reinterpret_cast<const dockwins::NMCTCITEM*>(lParam);
      n.first = r->iItem;
      n.pt = r->pt;
      notices.push_back(n);
    }
    const auto answer = answers.find(code);
    return answer == answers.end() ? 0 : answer->second;
  }

  static bool is_move(int code) {
    return code == dockwins::CTCN_SELCHANGE || code == dockwins::CTCN_SELCHANGING ||
           code == dockwins::CTCN_ACCEPTITEMDRAG;
  }
};

}  // namespace orvo::testing
