# OrvoImpl's binding to OrvoCapabilities: library orvoimpl_capsloader, which
# OrvoImpl.dll links, and its tests under Wine.
if(ORVO_WINDOWS)
  add_library(orvoimpl_capsloader STATIC ${CMAKE_CURRENT_LIST_DIR}/OrvoCapabilitiesDll.cpp)
  target_include_directories(orvoimpl_capsloader PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(orvoimpl_capsloader PUBLIC CapsProviderIntf orvo_com advapi32)
  orvo_warnings(orvoimpl_capsloader)

  # A library exporting CreateInterface, DllRegister and DllUnregister only.
  orvo_windows_dll(orvoimpl_caps_loader_stub SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/caps_loader_stub.cpp
                   ${CMAKE_CURRENT_LIST_DIR}/tests/caps_loader_stub.def LIBS CapsProviderIntf)
  # Deletes and recreates HKLM "Software\Quarnell Limited\Orvo": runs alone,
  # before the COM tests, and registers the default descriptors again.
  orvo_test(orvoimpl_capabilities_dll_test REGISTRY NO_MAIN SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/caps_loader_test.cpp
            LIBS orvoimpl_capsloader orvo_com_test
            ARGS $<TARGET_FILE:OrvoCapabilities> $<TARGET_FILE:orvoimpl_caps_loader_stub>)
  add_dependencies(orvoimpl_capabilities_dll_test OrvoCapabilities orvoimpl_caps_loader_stub)
endif()
