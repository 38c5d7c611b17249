// The main frame's gallery: the whole window over the stand-in server with
// two amplifiers, laid out by the built-in session (the protocol manager
// docked at the right, the system tree, the detail views), in one of three
// looks:
//   system     the system tab as it starts
//   impedance  an impedance check of the first amplifier running
//   log        the Event Log tab
//
//   client_main_frame_gallery.exe READY_FILE SECONDS LOOK STAND_IN_DLL CAPABILITIES_DLL
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "comet/bstr.h"
#include "core/amplifier_memory_collection.h"
#include "core/state_string.h"
#include "data_files.h"
#include "main_frame.h"
#include "orvo_module.h"
#include "registry/registry_key.h"
#include "stand_in_h.h"
#include "testing/wine_path.h"

namespace {

std::string narrow(const wchar_t* text) {
  const std::wstring wide(text);
  return std::string(wide.begin(), wide.end());
}

// The stand-in server registered from its own DLL, removed again at the end.
class registered_server {
 public:
  explicit registered_server(const std::wstring& path) : m_dll(::LoadLibraryW(path.c_str())) {
    if (auto reg = call("DllRegisterServer")) m_registered = SUCCEEDED(reg());
  }
  ~registered_server() {
    if (auto unreg = call("DllUnregisterServer"); unreg && m_registered) unreg();
    if (m_dll) ::FreeLibrary(m_dll);
  }
  registered_server(const registered_server&) = delete;
  registered_server& operator=(const registered_server&) = delete;
  bool registered() const noexcept { return m_registered; }

 private:
  using entry = HRESULT(STDAPICALLTYPE*)();
  entry call(const char* name) const {
    return m_dll ? reinterpret_cast<entry>(reinterpret_cast<void*>(::GetProcAddress(m_dll, name))) : nullptr;
  }
  HMODULE m_dll;
  bool m_registered = false;
};

// Two amplifiers of models 0 and 1 with empty register images.
std::wstring two_amplifiers() {
  orvo::impl::TAmplifierMemoryCollection images;
  images.Add(0, 0, orvo::impl::TMemory());
  images.Add(1, 1, orvo::impl::TMemory());
  const std::string text = orvo::impl::WriteStateString(images);
  return std::wstring(text.begin(), text.end());
}

// Sixteen readings across the thresholds.
VARIANT readings() {
  VARIANT values;
  ::VariantInit(&values);
  values.vt = VT_ARRAY | VT_VARIANT;
  values.parray = ::SafeArrayCreateVector(VT_VARIANT, 0, 16);
  for (LONG i = 0; i < 16; ++i) {
    VARIANT element;
    ::VariantInit(&element);
    element.vt = VT_I4;
    element.lVal = i % 4 == 3 ? 0xFF : 12 * (i + 1);
    ::SafeArrayPutElement(values.parray, &i, &element);
  }
  return values;
}

// The object ID of the first amplifier in the system tree; -1 when none.
long first_amplifier(CMainFrame& frame) {
  HWND tree = frame.own_views().tree();
  std::vector<HTREEITEM> items{TreeView_GetRoot(tree)};
  while (!items.empty()) {
    HTREEITEM item = items.back();
    items.pop_back();
    if (!item) continue;
    const long id = frame.own_views().tree().item_id(item);
    try {
      comet::com_ptr<IAmplifier> amplifier;
      comet::com_ptr<IIdentifier> object = frame.GetObjectByID(id);
      if (object && SUCCEEDED(object->QueryInterface(IID_IAmplifier, amplifier.put_void()))) return id;
    } catch (...) {
    }
    items.push_back(TreeView_GetNextSibling(tree, item));
    items.push_back(TreeView_GetChild(tree, item));
  }
  return -1;
}

struct gallery {
  CMainFrame* frame = nullptr;
  IStandInControl* control = nullptr;
  std::wstring look, ready_file;
  UINT seconds = 6;
  DWORD started = 0;
  bool staged = false;
};
gallery g;

// Once the frame shows the state: the look is staged, the ready file
// written after a few more ticks; the frame closes after its seconds.
void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
  CMainFrame& frame = *g.frame;
  if (!frame.IsWindow()) return;
  if (::GetTickCount() - g.started > g.seconds * 1000) {
    frame.DestroyWindow();
    return;
  }
  if (!frame.IsWindowVisible() || !frame.held_state()) return;
  if (!g.staged) {
    g.staged = true;
    if (g.look == L"impedance") {
      VARIANT values = readings();
      g.control->FireImpedance(first_amplifier(frame), values);
      ::VariantClear(&values);
    } else if (g.look == L"log") {
      frame.SendMessage(WM_COMMAND, ID_EVENT_LOG_TAB);
    }
    return;
  }
  if (!g.ready_file.empty()) {
    frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (FILE* f = _wfopen(g.ready_file.c_str(), L"w")) fclose(f);
    g.ready_file.clear();
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc < 6) return 2;
  g.ready_file = argv[1];
  g.seconds = static_cast<UINT>(_wtoi(argv[2]));
  g.look = argv[3];
  const std::wstring stand_in = orvo::testing::windows_path(narrow(argv[4]));
  const std::wstring capabilities = orvo::testing::windows_path(narrow(argv[5]));
  ::LocalFree(argv);

  INITCOMMONCONTROLSEX classes{sizeof classes, 0x6FF};
  ::InitCommonControlsEx(&classes);
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int result = 1;
  {
    orvo::registry::key::create(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Orvo")
        .write_string(L"Provider", capabilities);
    registered_server server(stand_in);
    comet::com_ptr<IStandInControl> control;
    if (server.registered() && SUCCEEDED(::CoCreateInstance(CLSID_StandInControl, nullptr, CLSCTX_ALL,
                                                            IID_IStandInControl, control.put_void()))) {
      control->Defaults();
      control->put_State(comet::bstr_t(two_amplifiers()).in());
      _Module.Init(nullptr, instance);
      WTL::CMessageLoop loop;
      _Module.AddMessageLoop(&loop);
      {
        CMainFrame frame;
        // No files of the user's: the built-in session lays the frame out.
        wchar_t temp[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring none = std::wstring(temp) + L"orvo_gallery_no_files";
        frame.m_load_data = [&none](CMainFrame& f) {
          CDataFiles files(f.m_session, f.m_libraries, f, ::GetModuleHandleW(nullptr), none, none);
          files.LoadSessionData();
        };
        g.frame = &frame;
        g.control = control.get();
        g.started = ::GetTickCount();
        _Module.Lock();
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, tick);
        if (frame.CreateEx()) result = loop.Run();
        ::KillTimer(nullptr, timer);
      }
      control->Defaults();
      control.reset();
      _Module.RemoveMessageLoop();
      _Module.Term();
    }
  }
  ::CoUninitialize();
  return result;
}
