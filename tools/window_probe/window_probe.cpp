// Looks at a running Orvo Client from another process, as scripts/run does
// after starting it:
//
//   window_probe.exe wait SECONDS   waits until the main window's pane 0
//                                   says "Ready" and its tree (when it has
//                                   one) holds items, then prints the title,
//                                   every status pane and the tree's items;
//                                   exit 0 when ready, 1 when the time ran
//                                   out (what there is is printed), 2 when
//                                   no main window appeared
//   window_probe.exe exit           ends the client by its tray Exit and
//                                   waits up to 20 s for the window to go
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t title_end[] = L" - Orvo - [Hotkey: Ctrl+Alt+D]";
constexpr int status_bar_id = 0xE801;
constexpr WPARAM tray_exit = 0x802D;

void print(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

std::wstring text_of(HWND window) {
  wchar_t text[1024] = L"";
  const int n = ::GetWindowTextW(window, text, 1024);
  return std::wstring(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

bool ends_with(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

BOOL CALLBACK take_main_window(HWND window, LPARAM out) {
  if (!::IsWindowVisible(window) || !ends_with(text_of(window), title_end)) return TRUE;
  *reinterpret_cast<HWND*>(out) = window;
  return FALSE;
}

// The client's visible main window, found by its title.
HWND main_window() {
  HWND found = nullptr;
  ::EnumWindows(take_main_window, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Memory in the client's process, for the controls' messages that carry
// pointers.
class remote_buffer {
 public:
  remote_buffer(HWND window, std::size_t bytes) : m_bytes(bytes) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (m_process) m_memory = ::VirtualAllocEx(m_process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  }
  ~remote_buffer() {
    if (m_memory) ::VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
    if (m_process) ::CloseHandle(m_process);
  }
  remote_buffer(const remote_buffer&) = delete;
  remote_buffer& operator=(const remote_buffer&) = delete;
  bool ok() const noexcept { return m_memory != nullptr; }
  char* at(std::size_t offset) const noexcept { return static_cast<char*>(m_memory) + offset; }
  void write(std::size_t offset, const void* data, std::size_t bytes) const {
    SIZE_T done = 0;
    ::WriteProcessMemory(m_process, at(offset), data, bytes, &done);
  }
  std::wstring read_text(std::size_t offset, std::size_t chars) const {
    std::vector<wchar_t> text(chars + 1, L'\0');
    SIZE_T done = 0;
    ::ReadProcessMemory(m_process, at(offset), text.data(), chars * sizeof(wchar_t), &done);
    return text.data();
  }

 private:
  std::size_t m_bytes;
  HANDLE m_process = nullptr;
  void* m_memory = nullptr;
};

std::vector<std::wstring> status_panes(HWND main) {
  std::vector<std::wstring> panes;
  HWND bar = ::GetDlgItem(main, status_bar_id);
  if (!bar) return panes;
  const auto count = static_cast<int>(::SendMessageW(bar, SB_GETPARTS, 0, 0));
  remote_buffer buffer(main, 1024 * sizeof(wchar_t));
  if (!buffer.ok()) return panes;
  for (int i = 0; i < count; ++i) {
    if (LOWORD(::SendMessageW(bar, SB_GETTEXTLENGTHW, i, 0)) >= 1024) {
      panes.push_back(L"<long>");
      continue;
    }
    const wchar_t none = L'\0';  // a pane without text writes nothing
    buffer.write(0, &none, sizeof none);
    ::SendMessageW(bar, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(buffer.at(0)));
    panes.push_back(buffer.read_text(0, 1023));
  }
  return panes;
}

// The system tree by its own class (the protocol manager holds a plain
// tree view too).
BOOL CALLBACK take_tree(HWND window, LPARAM out) {
  wchar_t kind[64] = L"";
  ::GetClassNameW(window, kind, 64);
  if (std::wcscmp(kind, L"ZEL-TreeViewEx") != 0) return TRUE;
  *reinterpret_cast<HWND*>(out) = window;
  return FALSE;
}

HWND find_tree(HWND main) {
  HWND found = nullptr;
  ::EnumChildWindows(main, take_tree, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Every item of the tree, depth first, indented by two blanks a level.
void tree_items(HWND tree, HTREEITEM item, int depth, const remote_buffer& buffer, std::vector<std::wstring>& out) {
  for (; item; item = reinterpret_cast<HTREEITEM>(
                   ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = reinterpret_cast<LPWSTR>(buffer.at(sizeof request));
    request.cchTextMax = 512;
    buffer.write(0, &request, sizeof request);
    ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(buffer.at(0)));
    out.push_back(std::wstring(static_cast<std::size_t>(depth) * 2, L' ') + buffer.read_text(sizeof request, 511));
    const auto child =
        reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    tree_items(tree, child, depth + 1, buffer, out);
  }
}

std::vector<std::wstring> tree_texts(HWND main) {
  std::vector<std::wstring> items;
  HWND tree = find_tree(main);
  if (!tree) return items;
  remote_buffer buffer(main, sizeof(TVITEMW) + 512 * sizeof(wchar_t));
  if (!buffer.ok()) return items;
  const auto root = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  tree_items(tree, root, 0, buffer, items);
  return items;
}

int wait_and_print(DWORD seconds) {
  const DWORD start = ::GetTickCount();
  HWND main = nullptr;
  bool ready = false;
  for (;;) {
    if (!main || !::IsWindow(main)) main = main_window();
    if (main) {
      const std::vector<std::wstring> panes = status_panes(main);
      ready = !panes.empty() && panes[0] == L"Ready" && (!find_tree(main) || !tree_texts(main).empty());
    }
    if (ready || ::GetTickCount() - start > seconds * 1000) break;
    ::Sleep(200);
  }
  if (!main) {
    print(L"no main window");
    return 2;
  }
  print(L"title: " + text_of(main));
  const std::vector<std::wstring> panes = status_panes(main);
  for (std::size_t i = 0; i < panes.size(); ++i) print(L"pane " + std::to_wstring(i) + L": " + panes[i]);
  if (!find_tree(main)) print(L"tree: none");
  for (const std::wstring& item : tree_texts(main)) print(L"tree item: " + item);
  return ready ? 0 : 1;
}

int end_client() {
  HWND main = main_window();
  if (!main) {
    print(L"no main window");
    return 2;
  }
  ::PostMessageW(main, WM_COMMAND, tray_exit, 0);
  for (int i = 0; i < 100 && ::IsWindow(main); ++i) ::Sleep(200);
  return ::IsWindow(main) ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // lines end in "\n" alone
  if (argc >= 3 && std::wcscmp(argv[1], L"wait") == 0) return wait_and_print(std::wcstoul(argv[2], nullptr, 10));
  if (argc >= 2 && std::wcscmp(argv[1], L"exit") == 0) return end_client();
  print(L"usage: window_probe wait SECONDS | window_probe exit");
  return 3;
}
