// The test event source as a local server: the sink tests' second process.
#include <windows.h>

#include <iterator>

#include "com/local_server.h"
#include "com/module.h"
#include "event_source.h"

namespace {

const GUID APPID_SinkTest = {0x5e0b7c31, 0x94a2, 0x4d6b, {0x9c, 0x1e, 0x7a, 0x3d, 0x2b, 0x8f, 0x4a, 0x20}};

const orvo::com::class_entry classes[] = {
    orvo::com::class_entry::of<CSinkTestSource>(CLSID_SinkTestSource, L"SinkTestSource Class",
                                                L"OrvoTest.SinkTestSource", nullptr),
};
const orvo::com::local_server server{
    classes, std::size(classes), &APPID_SinkTest, L"OrvoSinkTest", L"comet_event_source_server.exe", true};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  orvo::com::module::set_instance(instance);
  HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(hr)) return 1;
  hr = orvo::com::run_server_switch(server, command_line);
  ::CoUninitialize();
  return SUCCEEDED(hr) ? 0 : 2;
}
