// Main frame cases against the stand-in server in process: the stand-in is
// registered for the suite (with the capabilities library as the models'
// provider), and each case gets its control back at its defaults, a
// recording set of views and, once it starts one, a frame.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "com/ptr.h"
#include "main_frame_test_support.h"
#include "registry/registry_key.h"
#include "stand_in_h.h"
#include "testing/com_test.h"

namespace frame_testing {

template <class Base = ::testing::Test>
class stand_in_frame_test : public Base {
 protected:
  static void SetUpTestSuite() {
    orvo::registry::key::create(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Orvo")
        .write_string(L"Provider", orvo::testing::windows_path(ORVO_CAPABILITIES));
    register_stand_in();
  }
  static void TearDownTestSuite() { unregister_stand_in(); }

  void SetUp() override {
    ASSERT_EQ(CoCreateInstance(CLSID_StandInControl, nullptr, CLSCTX_ALL, IID_IStandInControl, control.put_void()),
              S_OK);
    ASSERT_EQ(control->Defaults(), S_OK);
  }
  void TearDown() override {
    f.reset();
    if (control) control->Defaults();
  }

  // What the stand-in was given in SetState: the VARIANT's type and the
  // state as its string, one pair per call.
  std::vector<std::pair<VARTYPE, std::wstring>> sent_states() {
    BSTR text = nullptr;
    control->get_CallLog(&text);
    const std::wstring log(text ? text : L"", SysStringLen(text));
    SysFreeString(text);
    std::vector<std::pair<VARTYPE, std::wstring>> sent;
    for (std::size_t at = log.find(L"SetState("); at != std::wstring::npos; at = log.find(L"SetState(", at + 1)) {
      const std::size_t type = at + 9, comma = log.find(L", ", type), end = log.find(L")\n", comma);
      sent.push_back(
          {static_cast<VARTYPE>(std::stoi(log.substr(type, comma - type))), log.substr(comma + 2, end - comma - 2)});
    }
    return sent;
  }

  orvo::com::ptr<IStandInControl> control;
  recording_views views;
  std::unique_ptr<frame_fixture> f;
};

}  // namespace frame_testing
