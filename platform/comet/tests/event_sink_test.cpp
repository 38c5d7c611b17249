// Dispinterface sinks under wine64, with events fired by a test source in
// another apartment of this process and in a second process (a local
// server). The sink lives in a single-threaded apartment, as the client's
// main frame does; the source's type library is registered by the test.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "com/module.h"
#include "comet/dispevent.h"
#include "event_source.h"
#include "testing/com_test.h"

using orvo::com::ptr;
using namespace orvo::testing;

namespace {

constexpr UINT sink_id = 7;

class CSinkOwner
    : public comet::IDispEventImpl<sink_id, CSinkOwner, &DIID__DSinkTestEvents, &LIBID_OrvoSinkTestLib, 1, 0> {
 public:
  std::vector<short> levels;
  std::wstring text;
  LONG process = 0;

  void OnLevel(short level) { levels.push_back(level); }
  HRESULT OnVote(VARIANT_BOOL* vote) {
    *vote = VARIANT_TRUE;
    return S_OK;
  }
  void OnText(BSTR value, long processId) {
    if (comet::bstr_t(value).w_str() == L"throw") throw std::runtime_error("sink refused the text");
    text = comet::bstr_t(value).w_str();
    process = processId;
  }

  static constexpr comet::sink_entry<CSinkOwner> sink_map[] = {
      comet::sink<sink_id, 1, &CSinkOwner::OnLevel>(),
      comet::sink<sink_id, 2, &CSinkOwner::OnVote>(),
      comet::sink<sink_id, 3, &CSinkOwner::OnText>(),
  };
};

// Events from either kind of source, as a sink in this apartment hears them.
void expect_events_reach_the_sink(ISinkTestSource* source, bool same_process) {
  CSinkOwner sink;
  EXPECT_EQ(sink.DispEventAdvise(nullptr), E_INVALIDARG);
  ASSERT_EQ(sink.DispEventAdvise(source), S_OK);
  EXPECT_EQ(sink.DispEventAdvise(source), E_FAIL);  // advised already

  LONG result = -1;
  ASSERT_EQ(source->FireLevel(1234, &result), S_OK);  // a VT_I4 for a short parameter
  EXPECT_EQ(result, S_OK);
  ASSERT_EQ(source->FireLevel(70000, &result), S_OK);  // does not fit a short
  EXPECT_EQ(result, DISP_E_OVERFLOW);
  EXPECT_EQ(sink.levels, std::vector<short>{1234});

  for (VARIANT_BOOL by_variant : {VARIANT_FALSE, VARIANT_TRUE}) {
    VARIANT_BOOL vote = VARIANT_FALSE;
    ASSERT_EQ(source->FireVote(by_variant, &vote), S_OK);
    EXPECT_EQ(vote, VARIANT_TRUE) << "by variant: " << by_variant;
  }

  comet::bstr_t text(L"Impedance check ended");
  ASSERT_EQ(source->FireText(text.in()), S_OK);
  EXPECT_EQ(sink.text, L"Impedance check ended");
  LONG source_process = 0;
  source->get_ProcessId(&source_process);
  EXPECT_EQ(sink.process, source_process);
  EXPECT_EQ(source_process == static_cast<LONG>(::GetCurrentProcessId()), same_process);

  comet::bstr_t refused(L"throw");
  EXPECT_EQ(source->FireText(refused.in()), DISP_E_EXCEPTION);

  EXPECT_EQ(sink.DispEventUnadvise(source), S_OK);
  source->FireLevel(5, &result);
  EXPECT_EQ(sink.levels.size(), 1u);
}

class EventSink : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ITypeLib* library = nullptr;
    ASSERT_EQ(::LoadTypeLibEx(orvo::com::module::path().c_str(), REGKIND_REGISTER, &library), S_OK);
    library->Release();
  }
};

TEST_F(EventSink, EventsFromAnotherApartmentReachTheSinkWithTheirArgumentsCoerced) {
  ptr<ISinkTestSource> source;
  ASSERT_EQ(CSinkTestSource::make(source), S_OK);  // in this thread's multithreaded apartment
  IStream* marshalled = nullptr;
  ASSERT_EQ(::CoMarshalInterThreadInterfaceInStream(IID_ISinkTestSource, source.get(), &marshalled), S_OK);
  in_sta([&] {
    ptr<ISinkTestSource> proxy;
    ASSERT_EQ(::CoGetInterfaceAndReleaseStream(marshalled, IID_ISinkTestSource, proxy.put_void()), S_OK);
    ASSERT_NE(proxy.get(), source.get());
    expect_events_reach_the_sink(proxy.get(), true);
  });
}

TEST_F(EventSink, EventsFromASecondProcessReachTheSink) {
  const std::wstring server = L"\"" + windows_path(EVENT_SOURCE_SERVER) + L"\"";
  ASSERT_EQ(run_program(server + L" /RegServer"), 0);
  in_sta([&] {
    ptr<ISinkTestSource> source;
    ASSERT_EQ(
        ::CoCreateInstance(CLSID_SinkTestSource, nullptr, CLSCTX_LOCAL_SERVER, IID_ISinkTestSource, source.put_void()),
        S_OK);
    expect_events_reach_the_sink(source.get(), false);
  });
  EXPECT_EQ(run_program(server + L" /UnregServer"), 0);
}

}  // namespace
