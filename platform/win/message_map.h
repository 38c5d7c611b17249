// Message maps: a window's class shows, as a table, which message goes to
// which handler.
//
//   BEGIN_MSG_MAP(CMyWindow)
//     MESSAGE_HANDLER(WM_CREATE, OnCreate)
//     COMMAND_ID_HANDLER(ID_FILE_OPEN, OnOpen)
//     NOTIFY_CODE_HANDLER(TVN_SELCHANGEDW, OnSelChanged)
//     CHAIN_MSG_MAP(CUpdateUI<CMyWindow>)
//   ALT_MSG_MAP(1)                      // a contained window's messages
//     MESSAGE_HANDLER(WM_CHAR, OnListChar)
//   END_MSG_MAP()
//
// Entries are tried in order. A handler gets a `BOOL& bHandled` that is
// TRUE on entry; clearing it lets the search go on to later entries, and in
// the end to the window's default processing. Handler forms:
//   LRESULT OnMessage(UINT msg, WPARAM, LPARAM, BOOL& bHandled);
//   LRESULT OnCommand(WORD code, WORD id, HWND control, BOOL& bHandled);
//   LRESULT OnNotify(int id, LPNMHDR header, BOOL& bHandled);
//
// The map defines ProcessWindowMessage, which CMessageMap declares; a map
// chained into another (a mixin, a member, a base) need not derive from it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <olectl.h>  // OCM_ codes: reflected messages are OCM__BASE + the message

// The message that carries a MSG* to a window so that it may translate it
// (accelerators, dialog keys) for the innermost view.
#ifndef WM_FORWARDMSG
#define WM_FORWARDMSG 0x037F
#endif

namespace WTL {

class CMessageMap {
 public:
  virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                    DWORD dwMsgMapID) = 0;

 protected:
  ~CMessageMap() = default;
};

}  // namespace WTL

#define BEGIN_MSG_MAP(theClass)                                                                   \
 public:                                                                                          \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, \
                            DWORD dwMsgMapID = 0) {                                               \
    BOOL bHandled = TRUE;                                                                         \
    (void)hWnd;                                                                                   \
    (void)uMsg;                                                                                   \
    (void)wParam;                                                                                 \
    (void)lParam;                                                                                 \
    (void)lResult;                                                                                \
    (void)bHandled;                                                                               \
    switch (dwMsgMapID) {                                                                         \
      case 0:

// Calls one handler; stops the search when it leaves bHandled set.
#define ORVO_MSG_CALL(call)    \
  {                            \
    bHandled = TRUE;           \
    lResult = call;            \
    if (bHandled) return TRUE; \
  }

#define MESSAGE_HANDLER(msg, func) \
  if (uMsg == (msg)) ORVO_MSG_CALL(func(uMsg, wParam, lParam, bHandled))

#define MESSAGE_RANGE_HANDLER(first, last, func) \
  if (uMsg >= (first) && uMsg <= (last)) ORVO_MSG_CALL(func(uMsg, wParam, lParam, bHandled))

#define ORVO_COMMAND_CALL(func) \
  ORVO_MSG_CALL(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_HANDLER(id, code, func) \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) ORVO_COMMAND_CALL(func)
#define COMMAND_ID_HANDLER(id, func) \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) ORVO_COMMAND_CALL(func)
#define COMMAND_CODE_HANDLER(code, func) \
  if (uMsg == WM_COMMAND && HIWORD(wParam) == (code)) ORVO_COMMAND_CALL(func)
#define COMMAND_RANGE_HANDLER(first, last, func) \
  if (uMsg == WM_COMMAND && LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last)) ORVO_COMMAND_CALL(func)

#define ORVO_NMHDR reinterpret_cast<LPNMHDR>(lParam)
#define ORVO_NOTIFY_CALL(func) ORVO_MSG_CALL(func(static_cast<int>(wParam), ORVO_NMHDR, bHandled))

#define NOTIFY_HANDLER(id, cd, func)                                          \
  if (uMsg == WM_NOTIFY && ORVO_NMHDR->idFrom == static_cast<UINT_PTR>(id) && \
      ORVO_NMHDR->code == static_cast<UINT>(cd))                              \
  ORVO_NOTIFY_CALL(func)
#define NOTIFY_ID_HANDLER(id, func) \
  if (uMsg == WM_NOTIFY && ORVO_NMHDR->idFrom == static_cast<UINT_PTR>(id)) ORVO_NOTIFY_CALL(func)
#define NOTIFY_CODE_HANDLER(cd, func) \
  if (uMsg == WM_NOTIFY && ORVO_NMHDR->code == static_cast<UINT>(cd)) ORVO_NOTIFY_CALL(func)
#define NOTIFY_RANGE_HANDLER(first, last, func)                                  \
  if (uMsg == WM_NOTIFY && ORVO_NMHDR->idFrom >= static_cast<UINT_PTR>(first) && \
      ORVO_NMHDR->idFrom <= static_cast<UINT_PTR>(last))                         \
  ORVO_NOTIFY_CALL(func)

// Handlers of notifications that a parent reflected back to this control.
#define REFLECTED_COMMAND_CODE_HANDLER(code, func) \
  if (uMsg == OCM_COMMAND && HIWORD(wParam) == (code)) ORVO_COMMAND_CALL(func)
#define REFLECTED_NOTIFY_CODE_HANDLER(cd, func) \
  if (uMsg == OCM_NOTIFY && ORVO_NMHDR->code == static_cast<UINT>(cd)) ORVO_NOTIFY_CALL(func)

// Chaining: another map gets the message; its answer ends the search.
#define CHAIN_MSG_MAP(theChainClass) \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
#define CHAIN_MSG_MAP_ALT(theChainClass, msgMapID) \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID)) return TRUE;
#define CHAIN_MSG_MAP_MEMBER(theChainMember) \
  if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
#define CHAIN_MSG_MAP_ALT_MEMBER(theChainMember, msgMapID) \
  if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID)) return TRUE;

// Reflection and forwarding (members of every window implementation).
#define REFLECT_NOTIFICATIONS() ORVO_MSG_CALL(ReflectNotifications(uMsg, wParam, lParam, bHandled))
#define FORWARD_NOTIFICATIONS() ORVO_MSG_CALL(ForwardNotifications(uMsg, wParam, lParam, bHandled))
#define DEFAULT_REFLECTION_HANDLER() \
  if (DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

// An alternate map: the messages of a contained window that names this id.
#define ALT_MSG_MAP(msgMapID) \
  break;                      \
  case msgMapID:

#define END_MSG_MAP() \
  break;              \
  default:            \
    break;            \
    }                 \
    return FALSE;     \
    }
