// The impedance view's gallery: the view over a real state of one
// amplifier, its buttons in the four looks (in use, off, error, above the
// upper threshold) for positive and negative electrodes; channels 1 to 4
// in use, channels 5 to 8 repeating the looks out of use.
//
//   client_impedance_view_gallery.exe READY_FILE SECONDS CAPABILITIES_DLL
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "core/amplifier_memory_collection.h"
#include "core/memory.h"
#include "core/object_id.h"
#include "core/state_string.h"
#include "impedance_view.h"
#include "orvo_module.h"
#include "registry/registry_key.h"
#include "state_walk.h"
#include "testing/wine_path.h"
#include "win/gallery/gallery_main.h"

namespace {

using orvo::impl::TMemory;

// The view's owner: the state it was given, nothing applied or logged.
class gallery_owner : public view_owner {
 public:
  comet::com_ptr<IAmplifierState> m_state;

  comet::com_ptr<IIdentifier> GetObjectByID(long id) override {
    return comet::query<IIdentifier>(get_object_by_id(comet::checked(m_state), id));
  }
  bool SendSerialNumber(const VARIANT&, const VARIANT&) override { return false; }
  void Log(const wchar_t*, int, HRESULT) override {}
  IAmplifierState* held_state() const noexcept override { return m_state.get(); }
  bool ApplyState(const BSTR) override { return false; }
  std::vector<Orvo::wide_string> excluded_texts(const Orvo::wide_string&) const override { return {}; }
};

// One amplifier with thresholds of 33 and 66 in steps of 200, both
// electrodes of channels 1 to 4 in use.
comet::com_ptr<IAmplifierState> gallery_state() {
  orvo::impl::TAmplifierMemoryCollection images;
  images.Add(0xFF, 0, TMemory());
  std::uint8_t* data = images.Item(0).Data();
  data[TMemory::LowerThresholdOffset] = 3300 & 0xFF;
  data[TMemory::LowerThresholdOffset + 1] = 3300 >> 8;
  data[TMemory::UpperThresholdOffset] = 6600 & 0xFF;
  data[TMemory::UpperThresholdOffset + 1] = 6600 >> 8;
  data[76] = 1;
  for (std::size_t channel = 0; channel < 4; ++channel) data[channel * TMemory::ChannelRecordSize + 8] = 3;
  const std::string text = orvo::impl::WriteStateString(images);
  return create_state_from_string(create_amplifier_state().get(),
                                  comet::bstr_t(std::wstring(text.begin(), text.end())));
}

class CImpedanceGallery : public WTL::CWindowImpl<CImpedanceGallery, WTL::CWindow, WTL::CFrameWinTraits>,
                          public orvo::gallery::self_closing<CImpedanceGallery> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.ImpedanceGallery", 0, COLOR_BTNFACE + 1}; }

  BEGIN_MSG_MAP(CImpedanceGallery)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  CHAIN_MSG_MAP(orvo::gallery::self_closing<CImpedanceGallery>)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    try {
      m_owner.m_state = gallery_state();
    } catch (...) {
      return -1;
    }
    m_view.Create(m_hWnd);
    const unsigned char looks[] = {45, 45, 0xFF, 0xFF, 0xFE, 0xFE, 90, 90, 45, 45, 0xFF, 0xFF, 0xFE, 0xFE, 90, 90};
    m_view.set_impedances(looks, sizeof looks);
    start(_Module.GetMessageLoop());
    return 0;
  }
  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
    if (m_view.IsWindow()) m_view.SetWindowPos(nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER);
    return 0;
  }

 private:
  gallery_owner m_owner;
  CImpedanceView m_view{m_owner, orvo::impl::PackObjectID(orvo::impl::KindAmplifier, 0, 0, 0)};
};

// Names the capabilities library the state's class loads.
bool use_capabilities(const wchar_t* path) {
  const std::wstring wide(path);
  const auto key = orvo::registry::key::create(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Orvo");
  return key && key.write_string(L"Provider", orvo::testing::windows_path(std::string(wide.begin(), wide.end()))) ==
                    ERROR_SUCCESS;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  const bool named = argc > 3 && use_capabilities(argv[3]);
  ::LocalFree(argv);
  if (!named) return 2;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int result = 1;
  {
    CImpedanceGallery window;
    result =
        orvo::gallery::run(_Module, instance, ICC_WIN95_CLASSES, window, RECT{20, 20, 700, 460}, L"Impedance View");
  }
  ::CoUninitialize();
  return result;
}
