// Facts about the COM-server layer: identity and reference counting,
// aggregation, creation failures, error information, the class table and
// module count, registration and type libraries.
#include <gtest/gtest.h>

#include <stdexcept>

#include "com/dispatch.h"
#include "com/error.h"
#include "com/inproc_server.h"
#include "com/object.h"
#include "com/registry.h"
#include "layer_test_h.h"
#include "testing/com_test.h"

using orvo::com::ptr;

namespace {

int g_destroyed = 0;

class CCounter : public orvo::com::object<CCounter, ILayerCounter, ILayerName,
                                          orvo::com::supports_error_info<&IID_ILayerCounter>> {
 public:
  CCounter() = default;
  explicit CCounter(LONG start) : m_total(start) {}
  ~CCounter() override { ++g_destroyed; }

  STDMETHODIMP Add(LONG amount) override {
    m_total += amount;
    return S_OK;
  }
  STDMETHODIMP get_Total(LONG* total) override {
    if (!total) return E_POINTER;
    *total = m_total;
    return S_OK;
  }
  STDMETHODIMP Fail(BSTR text) override {
    return orvo::com::guard(L"Orvo.LayerTest", IID_ILayerCounter, [&]() -> HRESULT {
      if (!text) throw std::runtime_error("no text");
      throw orvo::com::error(E_INVALIDARG, text);
    });
  }
  STDMETHODIMP get_Name(BSTR* name) override {
    if (!name) return E_POINTER;
    *name = SysAllocString(L"counter");
    return *name ? S_OK : E_OUTOFMEMORY;
  }

  // The object as seen by its aggregator, for the tests below.
  IUnknown* outer() const { return controlling_unknown(); }

 private:
  LONG m_total = 0;
};

class CSolitary : public orvo::com::object<CSolitary, ILayerName> {
 public:
  static constexpr bool aggregatable = false;
  STDMETHODIMP get_Name(BSTR*) override { return E_NOTIMPL; }
};

class CFailsToFinish : public orvo::com::object<CFailsToFinish, ILayerName> {
 public:
  ~CFailsToFinish() override { ++g_destroyed; }
  HRESULT final_construct() noexcept { return E_ACCESSDENIED; }
  STDMETHODIMP get_Name(BSTR*) override { return E_NOTIMPL; }
};

// A dual interface served through the embedded type library.
class CDual : public orvo::com::object<CDual, orvo::com::dispatch<ILayerDual2, ILayerDual>> {
 public:
  STDMETHODIMP Twice(LONG value, LONG* result) override {
    if (!result) return E_POINTER;
    *result = 2 * value;
    return S_OK;
  }
  STDMETHODIMP Refuse(BSTR text) override {
    return orvo::com::set_error(E_INVALIDARG, L"Orvo.LayerTest", text, IID_ILayerDual2);
  }
};

// A hand-written outer object that aggregates a CCounter and exposes its
// interfaces as its own.
class outer_object final : public IUnknown {
 public:
  outer_object() { m_create_result = CCounter::create(this, IID_IUnknown, m_inner.put_void()); }
  HRESULT create_result() const { return m_create_result; }
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown) {
      *out = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return m_inner->QueryInterface(iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = --m_refs;
    if (n == 0) delete this;
    return n;
  }
  ULONG refs() const { return m_refs; }

 private:
  ULONG m_refs = 1;
  HRESULT m_create_result;
  ptr<IUnknown> m_inner;
};

TEST(ComObject, AnswersItsInterfacesWithOneIdentity) {
  ptr<ILayerCounter> counter;
  ASSERT_EQ(CCounter::make(counter, 5), S_OK);
  LONG total = 0;
  counter->get_Total(&total);
  EXPECT_EQ(total, 5);

  ptr<ILayerName> name;
  ASSERT_EQ(counter.query(name), S_OK);
  ptr<IUnknown> a, b;
  counter.query(a);
  name.query(b);
  EXPECT_EQ(a.get(), b.get());
  ptr<ISupportErrorInfo> support;
  EXPECT_EQ(counter.query(support), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ILayerCounter), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ILayerName), S_FALSE);

  ptr<IDispatch> none;
  EXPECT_EQ(counter.query(none), E_NOINTERFACE);
  EXPECT_FALSE(none);
  EXPECT_EQ(counter->QueryInterface(IID_ILayerName, nullptr), E_POINTER);
}

TEST(ComObject, LastReleaseDestroysTheObjectAndTheModuleCountFollows) {
  const long before = orvo::com::module::active_count();
  const int destroyed = g_destroyed;
  {
    ptr<ILayerCounter> counter;
    ASSERT_EQ(CCounter::make(counter), S_OK);
    EXPECT_EQ(orvo::com::module::active_count(), before + 1);
    ptr<ILayerCounter> second = counter;
    counter.reset();
    EXPECT_EQ(g_destroyed, destroyed);
  }
  EXPECT_EQ(g_destroyed, destroyed + 1);
  EXPECT_EQ(orvo::com::module::active_count(), before);
}

TEST(ComObject, AnAggregatedObjectSpeaksForItsOuterObject) {
  const int destroyed = g_destroyed;
  auto* outer = new outer_object;
  ASSERT_EQ(outer->create_result(), S_OK);
  {
    ptr<ILayerCounter> counter;
    ASSERT_EQ(outer->QueryInterface(IID_ILayerCounter, counter.put_void()), S_OK);
    EXPECT_EQ(outer->refs(), 2u);  // the inner object's interfaces count on the outer
    ptr<IUnknown> identity;
    counter.query(identity);
    EXPECT_EQ(identity.get(), static_cast<IUnknown*>(outer));
    counter->Add(3);
    LONG total = 0;
    counter->get_Total(&total);
    EXPECT_EQ(total, 3);
  }
  EXPECT_EQ(outer->refs(), 1u);
  outer->Release();
  EXPECT_EQ(g_destroyed, destroyed + 1);
}

TEST(ComObject, AggregationRulesAreEnforcedAtCreation) {
  outer_object* outer = new outer_object;
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(CCounter::create(outer, IID_ILayerCounter, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(CSolitary::create(outer, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(CSolitary::create(nullptr, IID_ILayerName, nullptr), E_POINTER);
  outer->Release();
}

TEST(ComObject, AFailedFinalConstructDestroysTheObject) {
  const int destroyed = g_destroyed;
  const long before = orvo::com::module::active_count();
  ptr<ILayerName> name;
  EXPECT_EQ(CFailsToFinish::make(name), E_ACCESSDENIED);
  EXPECT_FALSE(name);
  EXPECT_EQ(g_destroyed, destroyed + 1);
  EXPECT_EQ(orvo::com::module::active_count(), before);
}

TEST(ComErrors, GuardTurnsExceptionsIntoHresultsWithErrorInfo) {
  ptr<ILayerCounter> counter;
  ASSERT_EQ(CCounter::make(counter), S_OK);
  BSTR text = SysAllocString(L"Bad amount");
  EXPECT_EQ(counter->Fail(text), E_INVALIDARG);
  SysFreeString(text);
  ptr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
  BSTR source = nullptr, description = nullptr;
  GUID iid{};
  info->GetSource(&source);
  info->GetDescription(&description);
  info->GetGUID(&iid);
  EXPECT_STREQ(source, L"Orvo.LayerTest");
  EXPECT_STREQ(description, L"Bad amount");
  EXPECT_TRUE(IsEqualGUID(iid, IID_ILayerCounter));
  SysFreeString(source);
  SysFreeString(description);

  // Any other exception is an unexpected failure, still with error info.
  EXPECT_EQ(counter->Fail(nullptr), E_UNEXPECTED);
  info.reset();
  EXPECT_EQ(GetErrorInfo(0, info.put()), S_OK);
}

const orvo::com::class_entry test_classes[] = {
    orvo::com::class_entry::of<CCounter>(CLSID_LayerThing, L"LayerThing Class", L"Orvo.LayerThing", L"Both"),
};
const orvo::com::inproc_server test_server{test_classes, 1, false, {}};

TEST(ComDispatch, CallsTheDualsSlotsByNameAndAnswersItsBases) {
  ptr<ILayerDual2> dual;
  ASSERT_EQ(CDual::make(dual), S_OK);
  ptr<IDispatch> dispatch;
  ASSERT_EQ(dual.query(dispatch), S_OK);
  EXPECT_EQ(static_cast<void*>(dispatch.get()), static_cast<void*>(dual.get()));
  EXPECT_TRUE(dual.as<ILayerDual>());
  ptr<ISupportErrorInfo> support = dual.as<ISupportErrorInfo>();
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ILayerDual), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ILayerName), S_FALSE);

  LPOLESTR name = const_cast<LPOLESTR>(L"twice");
  DISPID id = 0;
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 1);
  VARIANT argument, result;
  V_VT(&argument) = VT_BSTR;  // converted to the slot's LONG
  V_BSTR(&argument) = SysAllocString(L"21");
  VariantInit(&result);
  DISPPARAMS params{&argument, nullptr, 1, 0};
  ASSERT_EQ(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
  EXPECT_EQ(V_VT(&result), VT_I4);
  EXPECT_EQ(V_I4(&result), 42);
  VariantClear(&argument);
  ptr<ITypeInfo> info;
  ASSERT_EQ(dispatch->GetTypeInfo(0, 0, info.put()), S_OK);
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  EXPECT_EQ(attr->guid, IID_ILayerDual2);
  info->ReleaseTypeAttr(attr);
}

TEST(ComDispatch, AFailedSlotFillsTheCallersExceptionFromItsErrorInfo) {
  ptr<ILayerDual2> dual;
  ASSERT_EQ(CDual::make(dual), S_OK);
  VARIANT argument;
  V_VT(&argument) = VT_BSTR;
  V_BSTR(&argument) = SysAllocString(L"no");
  DISPPARAMS params{&argument, nullptr, 1, 0};
  EXCEPINFO exception{};
  EXPECT_EQ(dual->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &exception, nullptr), DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_INVALIDARG);
  EXPECT_STREQ(exception.bstrSource, L"Orvo.LayerTest");
  EXPECT_STREQ(exception.bstrDescription, L"no");
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  VariantClear(&argument);
  EXPECT_EQ(dual->Invoke(77, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &exception, nullptr),
            DISP_E_MEMBERNOTFOUND);
}

TEST(ComServer, ServesItsClassesAndCountsLocksAndObjects) {
  ptr<IClassFactory> factory;
  ASSERT_EQ(orvo::com::dll_get_class_object(test_server, CLSID_LayerThing, IID_IClassFactory, factory.put_void()),
            S_OK);
  void* out = nullptr;
  EXPECT_EQ(orvo::com::dll_get_class_object(test_server, IID_ILayerName, IID_IClassFactory, &out),
            CLASS_E_CLASSNOTAVAILABLE);

  const long before = orvo::com::module::active_count();
  ASSERT_EQ(before, 0) << "objects of earlier tests are still alive";
  EXPECT_EQ(orvo::com::dll_can_unload_now(test_server), S_OK);
  factory->LockServer(TRUE);
  EXPECT_EQ(orvo::com::dll_can_unload_now(test_server), S_FALSE);
  factory->LockServer(FALSE);
  EXPECT_EQ(orvo::com::dll_can_unload_now(test_server), S_OK);

  ptr<ILayerCounter> counter;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_ILayerCounter, counter.put_void()), S_OK);
  EXPECT_EQ(orvo::com::dll_can_unload_now(test_server), S_FALSE);
  counter.reset();
  EXPECT_EQ(orvo::com::dll_can_unload_now(test_server), S_OK);
}

TEST(ComServer, AnUnlockWithoutALockLeavesALiveObjectCounted) {
  ptr<IClassFactory> factory;
  ASSERT_EQ(orvo::com::dll_get_class_object(test_server, CLSID_LayerThing, IID_IClassFactory, factory.put_void()),
            S_OK);
  ASSERT_EQ(orvo::com::module::active_count(), 0) << "objects of earlier tests are still alive";
  ptr<ILayerCounter> counter;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_ILayerCounter, counter.put_void()), S_OK);
  factory->LockServer(FALSE);
  factory->LockServer(FALSE);
  EXPECT_EQ(orvo::com::dll_can_unload_now(test_server), S_FALSE);
  counter.reset();
  EXPECT_EQ(orvo::com::dll_can_unload_now(test_server), S_OK);
  // Locks taken afterwards count as before.
  factory->LockServer(TRUE);
  EXPECT_EQ(orvo::com::dll_can_unload_now(test_server), S_FALSE);
  factory->LockServer(FALSE);
  EXPECT_EQ(orvo::com::dll_can_unload_now(test_server), S_OK);
}

TEST(ComRegistration, WritesAndRemovesTheKeysOfAnInprocAndALocalServer) {
  using orvo::testing::dump_registry;
  const std::wstring clsid_key = L"CLSID\\" + orvo::com::guid_string(CLSID_LayerThing);
  ASSERT_EQ(orvo::com::register_class(test_classes[0], L"C:\\x\\layer.dll", orvo::com::server_kind::inproc), S_OK);
  auto keys = dump_registry(HKEY_CLASSES_ROOT, clsid_key);
  EXPECT_EQ(keys[clsid_key + L"\\InprocServer32\\:ThreadingModel"], L"1:Both");
  EXPECT_EQ(keys[clsid_key + L"\\InprocServer32\\:"], L"1:C:\\x\\layer.dll");
  EXPECT_EQ(keys[clsid_key + L"\\ProgID\\:"], L"1:Orvo.LayerThing.1");
  EXPECT_EQ(dump_registry(HKEY_CLASSES_ROOT, L"Orvo.LayerThing")[L"Orvo.LayerThing\\CurVer\\:"],
            L"1:Orvo.LayerThing.1");

  // Registering as a local server replaces the class key whole.
  const GUID appid = IID_ILayerName;
  ASSERT_EQ(orvo::com::register_class(test_classes[0], L"C:\\x\\layer.exe", orvo::com::server_kind::local, &appid),
            S_OK);
  keys = dump_registry(HKEY_CLASSES_ROOT, clsid_key);
  EXPECT_EQ(keys.count(clsid_key + L"\\InprocServer32"), 0u);
  EXPECT_EQ(keys[clsid_key + L"\\LocalServer32\\:"], L"1:C:\\x\\layer.exe");
  EXPECT_EQ(keys[clsid_key + L"\\:AppID"], L"1:" + orvo::com::guid_string(appid));

  ASSERT_EQ(orvo::com::unregister_class(test_classes[0]), S_OK);
  EXPECT_TRUE(dump_registry(HKEY_CLASSES_ROOT, clsid_key).empty());
  EXPECT_TRUE(dump_registry(HKEY_CLASSES_ROOT, L"Orvo.LayerThing").empty());
  EXPECT_TRUE(dump_registry(HKEY_CLASSES_ROOT, L"Orvo.LayerThing.1").empty());
  // Unregistering what is not there is not a failure.
  EXPECT_EQ(orvo::com::unregister_class(test_classes[0]), S_OK);
}

TEST(ComRegistration, TheEmbeddedTypeLibraryRegistersAndUnregisters) {
  wchar_t path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  ptr<ITypeLib> lib;
  ASSERT_EQ(LoadTypeLibEx(path, REGKIND_NONE, lib.put()), S_OK);
  ptr<ITypeInfo> info;
  EXPECT_EQ(lib->GetTypeInfoOfGuid(IID_ILayerDual, info.put()), S_OK);

  const std::wstring key = L"TypeLib\\" + orvo::com::guid_string(LIBID_OrvoLayerTestLib);
  ASSERT_EQ(orvo::com::register_typelib(path), S_OK);
  EXPECT_FALSE(orvo::testing::dump_registry(HKEY_CLASSES_ROOT, key).empty());
  ptr<ITypeLib> registered;
  EXPECT_EQ(LoadRegTypeLib(LIBID_OrvoLayerTestLib, 1, 0, 0, registered.put()), S_OK);
  ASSERT_EQ(orvo::com::unregister_typelib(path), S_OK);
  EXPECT_TRUE(orvo::testing::dump_registry(HKEY_CLASSES_ROOT, key).empty());
}

}  // namespace
