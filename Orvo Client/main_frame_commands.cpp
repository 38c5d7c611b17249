// The main frame's state commands: undo and redo, the clipboard, global
// deblock, reset, impedance check and the two tabs, and the loop's filter
// that turns keys into them.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "comet/variant.h"
#include "main_frame.h"
#include "wait_cursor.h"
#include "state_text_table.h"
#include "state_walk.h"
#include "zel/com_stream.h"
#include "zel/errors.h"

namespace {

// The clipboard stays open for the scope's length.
class open_clipboard {
 public:
  explicit open_clipboard(HWND owner) {
    if (!::OpenClipboard(owner)) zel::throw_win32_error(::GetLastError());
  }
  ~open_clipboard() { ::CloseClipboard(); }
  open_clipboard(const open_clipboard&) = delete;
  open_clipboard& operator=(const open_clipboard&) = delete;
};

// A global memory block freed unless released to a new owner.
class global_block {
 public:
  explicit global_block(HGLOBAL block) noexcept : m_block(block) {}
  ~global_block() {
    if (m_block) ::GlobalFree(m_block);
  }
  global_block(const global_block&) = delete;
  global_block& operator=(const global_block&) = delete;
  HGLOBAL release() noexcept { return std::exchange(m_block, nullptr); }

 private:
  HGLOBAL m_block;
};

bool is_edit_control(HWND window) {
  wchar_t name[16] = {};
  return window && ::GetClassNameW(window, name, 16) > 0 && ::lstrcmpiW(name, L"Edit") == 0;
}

}  // namespace

bool CMainFrame::command_enabled(UINT id) const {
  const std::vector<Orvo::command_state> states = Orvo::command_states(facts());
  const auto rule =
      std::find_if(states.begin(), states.end(), [&](const Orvo::command_state& s) { return s.id == id; });
  return rule == states.end() || rule->enabled;
}

// Accelerators and menu items both arrive here; an accelerator bypasses
// the menu's enabling, so the rule is asked again.
LRESULT CMainFrame::OnStateCommand(WORD, WORD id, HWND, BOOL&) {
  if (!command_enabled(id)) return 0;
  guarded(*this, [&] {
    switch (id) {
      case ID_UNDO:
        Undo();
        break;
      case ID_REDO:
        Redo();
        break;
      case ID_COPY_STATE:
        CopyAsState();
        break;
      case ID_COPY_TEXT:
        CopyAsText();
        break;
      case ID_PASTE:
        Paste();
        break;
      case ID_ACTION_GLOBAL_DEBLOCK:
        SetGlobalDeblock(!m_global_deblock);
        break;
      case ID_ACTION_RESET:
        Reset();
        break;
      case ID_VIEW_IMPEDANCE:
        CheckImpedance();
        break;
      case ID_SYSTEM_TAB:
        m_views->select_tab(0);
        break;
      case ID_EVENT_LOG_TAB:
        m_views->select_tab(1);
        break;
      default:
        break;
    }
  });
  return 0;
}

// The loop's filter: the accelerators (not while an edit control has the
// focus, so its own Ctrl+V, Ctrl+C and Ctrl+Z stay its own), then
// Ctrl+Space, then the views' filters and last the protocol manager's keys.
BOOL CMainFrame::PreTranslateMessage(MSG* msg) {
  if (!is_edit_control(::GetFocus()) && TranslateAccelerator(msg)) return TRUE;
  if (filter_deblock_key(*msg)) return TRUE;
  if (m_views->filter_message(msg)) return TRUE;
  return m_protocol_window.IsWindow() && m_protocol_window.IsWindowVisible() &&
         m_protocol_window.TranslateAccelerator(msg);
}

// Ctrl+Space: key-down switches global deblock on, key-up off; the key is
// taken either way. A space key-up after a taken key-down is taken also
// when Ctrl went up first, so a deblock never outlives the key.
bool CMainFrame::filter_deblock_key(const MSG& msg) {
  if ((msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) || msg.wParam != VK_SPACE) return false;
  const bool down = msg.message == WM_KEYDOWN;
  const bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (!control && (down || !m_deblock_key_down)) return false;
  m_deblock_key_down = down;
  if (command_enabled(ID_ACTION_GLOBAL_DEBLOCK)) guarded(*this, [&] { SetGlobalDeblock(down); });
  return true;
}

void CMainFrame::SetGlobalDeblock(bool on) {
  IAmplifierState* state = comet::checked(m_state);
  VARIANT_BOOL current = VARIANT_FALSE;
  HRESULT hr = state->get_GlobalDeblock(&current);
  if (FAILED(hr)) raise_IAmplifierState(hr, state);
  if ((current != VARIANT_FALSE) == on) return;
  set_status(IDS_COMMUNICATING);
  hr = state->put_GlobalDeblock(on ? VARIANT_TRUE : VARIANT_FALSE);
  if (FAILED(hr)) raise_IAmplifierState(hr, state);
  ApplyState();
}

void CMainFrame::send_history_entry(std::deque<comet::bstr_t>& from, std::deque<comet::bstr_t>& to) {
  if (from.empty()) return;
  to.push_back(m_state_string);
  // A null entry (a state never delivered) still goes as a string.
  const comet::bstr_t& entry = from.back();
  comet::variant_t sent(entry.in() ? entry : comet::bstr_t(L"", 0));
  SendState(sent.get());
  from.pop_back();
}

void CMainFrame::Undo() { send_history_entry(m_undo, m_redo); }

void CMainFrame::Redo() { send_history_entry(m_redo, m_undo); }

// The text, one NUL, in a block of its own that the clipboard takes as
// Unicode text; a failed write leaves the clipboard as it was.
void CMainFrame::copy_to_clipboard(const std::function<void(std::wostream&)>& write) {
  comet::com_ptr<IStream> stream;
  comet::check(::CreateStreamOnHGlobal(nullptr, FALSE, stream.put()));
  HGLOBAL handle = nullptr;
  comet::check(::GetHGlobalFromStream(stream.get(), &handle));
  global_block block(handle);
  {
    zel::basic_com_ostream<wchar_t> out(stream.get());
    out.exceptions(std::ios_base::failbit | std::ios_base::badbit);
    write(out);
    out << L'\0';
    out.flush();
  }
  stream.reset();
  open_clipboard clipboard(m_hWnd);
  ::EmptyClipboard();
  if (!::SetClipboardData(CF_UNICODETEXT, handle)) zel::throw_win32_error(::GetLastError());
  block.release();
}

void CMainFrame::CopyAsState() {
  IAmplifierState* state = comet::checked(m_state);
  const comet::bstr_t text = get_state_string(state);
  copy_to_clipboard([&](std::wostream& out) { out.write(text.c_str(), static_cast<std::streamsize>(text.length())); });
}

void CMainFrame::CopyAsText() {
  const state_text_table table(comet::checked(m_state));
  const std::wstring text = table.text();
  copy_to_clipboard([&](std::wostream& out) { out.write(text.data(), static_cast<std::streamsize>(text.size())); });
}

// The clipboard's text up to its NUL, but never past its block (a block
// from another program may lack the NUL); the clipboard is closed before
// the text is sent.
void CMainFrame::Paste() {
  if (!m_link.connected()) return;
  comet::bstr_t text;
  bool found = false;
  {
    open_clipboard clipboard(m_hWnd);
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const wchar_t* chars = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
    if (chars) {
      const std::size_t limit = ::GlobalSize(data) / sizeof(wchar_t);
      const std::size_t length = static_cast<std::size_t>(std::find(chars, chars + limit, L'\0') - chars);
      text = comet::bstr_t(chars, length);
      ::GlobalUnlock(data);
      found = true;
    }
  }
  if (found) ApplyState(text.in());
}

void CMainFrame::Reset() {
  wait_cursor waiting;
  Log(L"Reset command issued", log_information, 0);
  DisconnectServer();
  ConnectServer(true);
}

void CMainFrame::CheckImpedance() {
  set_status(IDS_COMMUNICATING);
  Orvo::IAmplifier* server = comet::checked(m_link.server());
  const HRESULT hr =
      server->CheckImpedance(m_views->selected_tree_item(), m_impedance_open ? VARIANT_FALSE : VARIANT_TRUE);
  if (FAILED(hr)) raise_server_IAmplifier(hr, server);
}
