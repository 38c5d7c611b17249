# Build helpers shared by every deliverable.
#
# Three kinds of build use this file:
#   - host:    portable cores, their native tests (ASan/UBSan when
#              ORVO_SANITIZE), libFuzzer targets (clang) and benchmarks;
#   - x86_64:  the Windows deliverables and their tests, run under wine64
#              through CMAKE_CROSSCOMPILING_EMULATOR;
#   - i686:    the shipped target, compiled and linked only.
#
# Functions:
#   orvo_core_library(name [SOURCES ...] [LIBS ...]) portable C++ library
#                                                    (headers only without SOURCES)
#   orvo_test(name SOURCES ... [LIBS ...] [ARGS ...] [COM] [REGISTRY]
#             [RESOURCE_LOCK lock...] [TIMEOUT s])   a GoogleTest program
#             COM: needs the in-process servers registered;
#             REGISTRY: registers and unregisters servers itself, so runs
#             alone and before the COM tests;
#             PALETTE_DISPLAY: runs on a 256-colour display of its own
#             (scripts/on-palette-display) instead of the test display.
#   orvo_fuzz(name SOURCES ... [LIBS ...] [ARGS ...]) libFuzzer target (host),
#                                                    ARGS: extra libFuzzer options
#   orvo_bench(name SOURCES ... [LIBS ...])          benchmark program (host)
#   orvo_idl(name IDL file [TLB] [PROXY])            widl rules
#   orvo_proxy_set(name IDLS a b ...)                 one proxy set from several IDLs
#   orvo_windows_dll(name SOURCES ... LIBS ... [REGSVR32])  a DLL of ours
#   orvo_inproc_server(target)                       registered for COM tests
#   orvo_embed_typelib(target name)                  type library as resource 1
#   orvo_script_test(name COMMAND ...)               any command as a test
#
# Names: tests <prefix>_<what>_test, libFuzzer targets <prefix>_<what>_fuzz,
# benchmarks <prefix>_<what>_bench, with one prefix per deliverable or layer
# (crc_, codrant_, caps_, orvoimpl_; platform_com_, platform_registry_ and
# so on for the platform layers, interfaces_ for what crosses deliverables,
# thirdparty_ for checks of outside libraries, scripts_ for the build's own
# scripts), so that
# "scripts/test -R caps" selects one deliverable. The Wine fixtures are
# wine.start, wine.regsvr32 and wine.stop.

include_guard(GLOBAL)

option(ORVO_WERROR "Treat warnings as errors" OFF)
option(ORVO_SANITIZE "Host build: AddressSanitizer and UBSan" OFF)
set(ORVO_TEST_PREFIX "" CACHE STRING "Prefix of every test name of this tree")
set(ORVO_FUZZ_SECONDS 10 CACHE STRING "Seconds each fuzz target runs in the test command")
set(ORVO_BOOST_SERIALIZATION_ROOT "" CACHE PATH "Boost.Serialization built for this target")

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

if(WIN32)
  set(ORVO_WINDOWS ON)
  # Tests run only where a Windows runtime exists: x86_64 under wine64.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(ORVO_RUN_WINDOWS ON)
  else()
    set(ORVO_RUN_WINDOWS OFF)
  endif()
  # Static runtime: nothing beyond system DLLs has to be found under Wine.
  set(ORVO_STATIC_LINK -static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  if(ORVO_RUN_WINDOWS)
    # The emulator CTest puts in front of every Windows test program.
    file(WRITE ${CMAKE_BINARY_DIR}/wine-run
      "#!/bin/sh\nexec \"${CMAKE_SOURCE_DIR}/scripts/wine-run\" \"${CMAKE_BINARY_DIR}\" \"$@\"\n")
    file(CHMOD ${CMAKE_BINARY_DIR}/wine-run PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
  endif()
else()
  set(ORVO_WINDOWS OFF)
  set(ORVO_RUN_WINDOWS OFF)
  set(ORVO_STATIC_LINK)
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND NOT ORVO_WINDOWS)
  set(ORVO_CAN_FUZZ ON)
else()
  set(ORVO_CAN_FUZZ OFF)
endif()

# Boost headers. A MinGW compiler must never see the host's whole system
# include folder, so it gets a folder holding only a link to Boost.
set(ORVO_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/boost-include)
file(MAKE_DIRECTORY ${ORVO_BOOST_INCLUDE})
if(NOT EXISTS ${ORVO_BOOST_INCLUDE}/boost)
  file(CREATE_LINK /usr/include/boost ${ORVO_BOOST_INCLUDE}/boost SYMBOLIC)
endif()
add_library(orvo_boost INTERFACE)
target_include_directories(orvo_boost SYSTEM INTERFACE ${ORVO_BOOST_INCLUDE})
target_compile_definitions(orvo_boost INTERFACE BOOST_ALL_NO_LIB)

if(ORVO_BOOST_SERIALIZATION_ROOT)
  add_library(orvo_boost_serialization INTERFACE)
  target_link_libraries(orvo_boost_serialization INTERFACE orvo_boost
    ${ORVO_BOOST_SERIALIZATION_ROOT}/lib/libboost_wserialization.a
    ${ORVO_BOOST_SERIALIZATION_ROOT}/lib/libboost_serialization.a)
endif()

# GoogleTest from Debian's sources, built with the same compiler and flags.
set(ORVO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
if(ORVO_SANITIZE)
  set(ORVO_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${ORVO_SANITIZE_FLAGS})
  add_link_options(${ORVO_SANITIZE_FLAGS})
endif()
add_subdirectory(${ORVO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Our own code: warnings on, errors in the test command.
set(ORVO_WARNINGS -Wall -Wextra -Wpedantic -Wno-unknown-pragmas)
if(ORVO_WERROR)
  list(APPEND ORVO_WARNINGS -Werror)
endif()

function(orvo_warnings target)
  target_compile_options(${target} PRIVATE ${ORVO_WARNINGS})
  if(ORVO_WERROR AND ORVO_WINDOWS)
    target_link_options(${target} PRIVATE -Wl,--fatal-warnings)
  endif()
endfunction()

function(orvo_core_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  # Its include root is the folder above its own: a deliverable's core reads
  # "core/packet.h", a platform layer "checksum/crc_register.h".
  get_filename_component(root ${CMAKE_CURRENT_SOURCE_DIR} DIRECTORY)
  if(NOT A_SOURCES)
    # Headers only: compiled, with the same flags, in the code that uses them.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${root})
    target_link_libraries(${name} INTERFACE ${A_LIBS})
    return()
  endif()
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${root})
  if(ORVO_CAN_FUZZ AND ORVO_SANITIZE)
    # Coverage counters for libFuzzer: the fuzz targets learn from the code
    # they test, not only from their harness. The sanitizer runtime answers
    # the counters in the tests that link the same library.
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
  orvo_warnings(${name})
endfunction()

add_custom_target(orvo_tests)

# The fixtures, locks and time-out of one test (see orvo_test).
function(orvo_test_properties name com registry lock timeout)
  set(fixtures)
  if(ORVO_WINDOWS)
    list(APPEND fixtures wine_prefix)
    if(com)
      list(APPEND fixtures com_registered)
    endif()
  endif()
  if(fixtures)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${fixtures}")
  endif()
  set(locks ${lock})
  if("stand_in_server" IN_LIST locks)
    # The test registers and removes the stand-in server in the registry
    # while it runs: no registration test may take its picture meanwhile.
    list(APPEND locks com_registry)
  endif()
  if(registry AND ORVO_WINDOWS)
    # Registers and unregisters servers itself: runs alone, and before the
    # servers are registered for the COM tests (an ordering, not a fixture,
    # so that selecting one deliverable's COM tests does not pull in every
    # other deliverable's registration tests).
    list(APPEND locks com_registry)
    set_property(GLOBAL APPEND PROPERTY ORVO_REGISTRY_TESTS ${name})
  endif()
  if(locks)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
  endif()
  if(NOT timeout)
    set(timeout 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout})
endfunction()

# Stops the configure when a test function was given words it does not
# know: a lock list written as one quoted argument ("a;b") reaches the
# function as separate words, and a word that no keyword takes would
# otherwise be dropped without a sound (a test then runs without a lock).
function(orvo_known_arguments name unparsed)
  if(unparsed)
    message(FATAL_ERROR "${name}: unknown arguments: ${unparsed}")
  endif()
endfunction()

# A GoogleTest program. COM tests need the build's in-process servers
# registered in the build's Wine prefix first.
function(orvo_test name)
  cmake_parse_arguments(A "COM;NO_MAIN;REGISTRY;PALETTE_DISPLAY" "TIMEOUT" "SOURCES;LIBS;ARGS;RESOURCE_LOCK" ${ARGN})
  orvo_known_arguments(${name} "${A_UNPARSED_ARGUMENTS}")
  add_executable(${name} ${A_SOURCES})
  if(A_NO_MAIN)
    target_link_libraries(${name} PRIVATE gmock ${A_LIBS})
  else()
    target_link_libraries(${name} PRIVATE gmock gtest_main ${A_LIBS})
  endif()
  target_link_options(${name} PRIVATE ${ORVO_STATIC_LINK})
  orvo_warnings(${name})
  add_dependencies(orvo_tests ${name})
  if(ORVO_WINDOWS AND NOT ORVO_RUN_WINDOWS)
    return()
  endif()
  if(A_PALETTE_DISPLAY)
    add_test(NAME ${ORVO_TEST_PREFIX}${name}
      COMMAND ${PROJECT_SOURCE_DIR}/scripts/on-palette-display ${CMAKE_BINARY_DIR} $<TARGET_FILE:${name}> ${A_ARGS})
  else()
    add_test(NAME ${ORVO_TEST_PREFIX}${name} COMMAND ${name} ${A_ARGS})
  endif()
  orvo_test_properties(${ORVO_TEST_PREFIX}${name} "${A_COM}" "${A_REGISTRY}" "${A_RESOURCE_LOCK}" "${A_TIMEOUT}")
endfunction()

# Any command as a test (Python checks, cscript runs, registry checks).
function(orvo_script_test name)
  cmake_parse_arguments(A "COM" "WORKING_DIRECTORY" "COMMAND;DEPENDS;RESOURCE_LOCK" ${ARGN})
  orvo_known_arguments(${name} "${A_UNPARSED_ARGUMENTS}")
  if(ORVO_WINDOWS AND NOT ORVO_RUN_WINDOWS)
    return()
  endif()
  set(name ${ORVO_TEST_PREFIX}${name})
  if(A_WORKING_DIRECTORY)
    add_test(NAME ${name} COMMAND ${A_COMMAND} WORKING_DIRECTORY ${A_WORKING_DIRECTORY})
  else()
    add_test(NAME ${name} COMMAND ${A_COMMAND})
  endif()
  orvo_test_properties(${name} "${A_COM}" "" "${A_RESOURCE_LOCK}" "")
endfunction()

# A gallery: a window program that the test run starts on the test display
# and photographs into <build>/gallery/<PICTURE> (Windows builds only).
# COM: it needs the in-process servers registered; ARGS follow its own two.
function(orvo_gallery name)
  cmake_parse_arguments(A "COM" "PICTURE" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} WIN32 ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} shell32)
  target_link_options(${name} PRIVATE ${ORVO_STATIC_LINK} -municode)
  orvo_warnings(${name})
  add_dependencies(orvo_tests ${name})
  set(com)
  if(A_COM)
    set(com COM)
  endif()
  orvo_script_test(${name}_test
    COMMAND ${PROJECT_SOURCE_DIR}/platform/win/gallery/screenshot.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:${name}>
            ${CMAKE_BINARY_DIR}/gallery/${A_PICTURE} ${A_ARGS}
    RESOURCE_LOCK wine_display ${com})
endfunction()

# A libFuzzer target over a portable core, named <deliverable>_<what>_fuzz;
# the test command runs it for ORVO_FUZZ_SECONDS under the same name (label
# "fuzz"). Its seed corpus is the folder corpus/<name> beside it when present.
function(orvo_fuzz name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;ARGS" ${ARGN})
  if(NOT ORVO_CAN_FUZZ)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  orvo_warnings(${name})
  add_dependencies(orvo_tests ${name})
  set(work ${CMAKE_BINARY_DIR}/fuzz/${name})
  set(args -max_total_time=${ORVO_FUZZ_SECONDS} -print_final_stats=1 -error_exitcode=77 ${A_ARGS})
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
    add_test(NAME ${ORVO_TEST_PREFIX}${name}
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
              $<TARGET_FILE:${name}> ${args} ${work} ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  else()
    add_test(NAME ${ORVO_TEST_PREFIX}${name}
      COMMAND $<TARGET_FILE:${name}> ${args} ${work})
  endif()
  file(MAKE_DIRECTORY ${work})
  set_tests_properties(${ORVO_TEST_PREFIX}${name} PROPERTIES TIMEOUT 600 LABELS fuzz)
endfunction()

# A benchmark, named <deliverable>_<what>_bench: built with everything else,
# never run as a test. scripts/bench builds a release host tree and runs them.
add_custom_target(benchmarks)
function(orvo_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(ORVO_WINDOWS)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  orvo_warnings(${name})
  add_dependencies(benchmarks ${name})
endfunction()

# widl rules for one IDL file. Outputs go to <build>/interfaces:
#   <name>_h.h, <name>_i.c (GUIDs, library <name>_guids),
#   <name>.tlb (TLB), <name>_p.c and <name>_dlldata.c (PROXY, library
#   <name>_proxy whose Prx* entry points a DLL merges into its own exports).
# Library <name>_idl carries the include folder and the GUIDs.
# IMPORTS names IDL files of ours (given to orvo_idl before) that <name>.idl
# imports: widl's header includes them as <import>.h, which a folder of
# forwarding headers of its own maps to <import>_h.h.
if(ORVO_WINDOWS)
  set(ORVO_WIDL ${ORVO_TRIPLE}-widl)
  execute_process(COMMAND sh -c "dpkg -L libwine-dev | grep '/oaidl.idl$' | head -n1"
                  OUTPUT_VARIABLE _oaidl OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(ORVO_SYSTEM_IDL_DIR "${_oaidl}" DIRECTORY)
  execute_process(COMMAND sh -c "dpkg -L libwine | grep 'x86_64-windows/stdole2.tlb$' | head -n1"
                  OUTPUT_VARIABLE _stdole OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(ORVO_STDOLE_DIR "${_stdole}" DIRECTORY)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(ORVO_WIDL_ARCH --win64)
  else()
    set(ORVO_WIDL_ARCH --win32)
  endif()
endif()
set(ORVO_GENERATED ${CMAKE_BINARY_DIR}/interfaces)
file(MAKE_DIRECTORY ${ORVO_GENERATED})

function(orvo_idl name)
  cmake_parse_arguments(A "TLB;PROXY" "IDL" "DEPENDS;IMPORTS" ${ARGN})
  if(NOT ORVO_WINDOWS)
    return()
  endif()
  set(imports_dir ${ORVO_GENERATED}/${name}_imports)
  foreach(import ${A_IMPORTS})
    file(WRITE ${imports_dir}/${import}.h.in "/* Generated: the header of ${import}.idl. */\n#include \"${import}_h.h\"\n")
    configure_file(${imports_dir}/${import}.h.in ${imports_dir}/${import}.h COPYONLY)
    list(APPEND A_DEPENDS ${CMAKE_SOURCE_DIR}/interfaces/${import}.idl)
  endforeach()
  get_filename_component(idl ${A_IDL} ABSOLUTE)
  get_filename_component(idl_dir ${idl} DIRECTORY)
  set(out ${ORVO_GENERATED})
  # -H names the header that generated sources include (written in the
  # working folder when -h is used with it).
  set(flags ${ORVO_WIDL_ARCH} -H ${name}_h.h -I${idl_dir} -I${CMAKE_SOURCE_DIR}/interfaces -I${ORVO_SYSTEM_IDL_DIR} -L${ORVO_STDOLE_DIR})
  set(outputs ${out}/${name}_h.h ${out}/${name}_i.c)
  add_custom_command(OUTPUT ${out}/${name}_h.h ${out}/${name}_i.c
    COMMAND ${ORVO_WIDL} ${flags} -h -o ${out}/${name}_h.h ${idl}
    COMMAND ${ORVO_WIDL} ${flags} -u -o ${out}/${name}_i.c ${idl}
    DEPENDS ${idl} ${A_DEPENDS} WORKING_DIRECTORY ${out} VERBATIM)
  if(A_TLB)
    add_custom_command(OUTPUT ${out}/${name}.tlb
      COMMAND ${ORVO_WIDL} ${flags} -t -o ${out}/${name}.tlb ${idl}
      DEPENDS ${idl} ${A_DEPENDS} WORKING_DIRECTORY ${out} VERBATIM)
    add_custom_target(${name}_tlb DEPENDS ${out}/${name}.tlb)
  endif()
  add_custom_target(${name}_generated DEPENDS ${outputs})
  add_library(${name}_idl STATIC ${out}/${name}_i.c)
  add_dependencies(${name}_idl ${name}_generated)
  target_include_directories(${name}_idl PUBLIC ${out})
  target_link_libraries(${name}_idl PUBLIC ole32 oleaut32 uuid)
  if(A_IMPORTS)
    target_include_directories(${name}_idl PUBLIC ${imports_dir})
    foreach(import ${A_IMPORTS})
      target_link_libraries(${name}_idl PUBLIC ${import}_idl)
      add_dependencies(${name}_generated ${import}_generated)
    endforeach()
  endif()
  if(A_PROXY)
    add_custom_command(OUTPUT ${out}/${name}_p.c ${out}/${name}_dlldata.c
      COMMAND ${ORVO_WIDL} ${flags} -Oif -p -o ${out}/${name}_p.c ${idl}
      COMMAND ${ORVO_WIDL} ${flags} --dlldata-only -o ${out}/${name}_dlldata.c ${idl}
      DEPENDS ${idl} ${A_DEPENDS} WORKING_DIRECTORY ${out} VERBATIM)
    set(wrap ${out}/${name}_proxy_wrap.c)
    file(WRITE ${wrap}.in
      "/* Generated: compiles the stubless proxy of ${name}. */\n"
      "#define USE_STUBLESS_PROXY\n#include <objbase.h>\n"
      "HRESULT STDMETHODCALLTYPE IUnknown_QueryInterface_Proxy(IUnknown*, REFIID, void**);\n"
      "ULONG STDMETHODCALLTYPE IUnknown_AddRef_Proxy(IUnknown*);\n"
      "ULONG STDMETHODCALLTYPE IUnknown_Release_Proxy(IUnknown*);\n"
      "#include \"${name}_p.c\"\n")
    configure_file(${wrap}.in ${wrap} COPYONLY)
    # The proxy code alone, for proxy sets merged from several IDL files.
    add_custom_target(${name}_proxy_generated DEPENDS ${out}/${name}_p.c ${out}/${name}_dlldata.c)
    add_library(${name}_proxy_code STATIC ${wrap})
    add_dependencies(${name}_proxy_code ${name}_proxy_generated)
    add_library(${name}_proxy STATIC ${out}/${name}_dlldata.c)
    foreach(lib ${name}_proxy_code ${name}_proxy)
      target_compile_definitions(${lib} PRIVATE ENTRY_PREFIX=Prx REGISTER_PROXY_DLL USE_STUBLESS_PROXY)
      target_compile_options(${lib} PRIVATE -w)
      target_include_directories(${lib} PRIVATE ${out})
    endforeach()
    target_link_libraries(${name}_proxy_code PUBLIC rpcrt4 ${name}_idl)
    target_link_libraries(${name}_proxy PUBLIC ${name}_proxy_code)
    if(A_IMPORTS)
      # Interfaces derived from imported ones have delegating stubs, whose
      # release routine the dlldata defines.
      target_compile_definitions(${name}_proxy PRIVATE PROXY_DELEGATION)
    endif()
  endif()
endfunction()

# One set of proxies and stubs from several IDL files (each given to
# orvo_idl with PROXY): library <name> with one dlldata listing them all,
# whose Prx* entry points a DLL merges into its own exports.
function(orvo_proxy_set name)
  cmake_parse_arguments(A "" "" "IDLS" ${ARGN})
  if(NOT ORVO_WINDOWS)
    return()
  endif()
  set(out ${ORVO_GENERATED})
  set(codes)
  foreach(idl ${A_IDLS})
    list(APPEND codes ${idl}_proxy_code)
  endforeach()
  add_custom_command(OUTPUT ${out}/${name}_dlldata.c
    COMMAND ${ORVO_WIDL} --dlldata-only -o ${out}/${name}_dlldata.c ${A_IDLS}
    WORKING_DIRECTORY ${out} VERBATIM)
  add_library(${name} STATIC ${out}/${name}_dlldata.c)
  target_compile_definitions(${name} PRIVATE ENTRY_PREFIX=Prx REGISTER_PROXY_DLL USE_STUBLESS_PROXY)
  target_compile_options(${name} PRIVATE -w)
  target_link_libraries(${name} PUBLIC ${codes})
endfunction()

# A DLL of ours: named as the target (no "lib" prefix), static runtime,
# warnings on, the folder of its CMakeLists on the include path.
# REGSVR32: also registered in the build's Wine prefix (regsvr32) before the
# COM tests run.
function(orvo_windows_dll name)
  cmake_parse_arguments(A "REGSVR32" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_options(${name} PRIVATE ${ORVO_STATIC_LINK})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The .def names the exports undecorated; their stdcall symbols carry
    # @n. Binding one to the other is intended, not worth a warning.
    target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
  endif()
  orvo_warnings(${name})
  if(A_REGSVR32)
    orvo_inproc_server(${name})
  endif()
endfunction()

# An in-process server of ours, registered in the build's Wine prefix
# before the COM tests run.
function(orvo_inproc_server target)
  target_link_options(${target} PRIVATE ${ORVO_STATIC_LINK})
  set_property(GLOBAL APPEND PROPERTY ORVO_INPROC_SERVERS $<TARGET_FILE:${target}>)
endfunction()

# Called once at the end of the top-level list: the Wine fixtures.
#   wine_prefix:    the build's own prefix exists, its wineserver and an
#                   Xvfb display are up; stopped again after the last test.
#   com_registered: every in-process server is registered (regsvr32).
function(orvo_finish)
  if(NOT ORVO_RUN_WINDOWS)
    return()
  endif()
  set(wine ${CMAKE_BINARY_DIR}/wine-run)
  add_test(NAME ${ORVO_TEST_PREFIX}wine.start COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session start ${CMAKE_BINARY_DIR})
  add_test(NAME ${ORVO_TEST_PREFIX}wine.stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session stop ${CMAKE_BINARY_DIR})
  set_tests_properties(${ORVO_TEST_PREFIX}wine.start PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 180)
  set_tests_properties(${ORVO_TEST_PREFIX}wine.stop PROPERTIES FIXTURES_CLEANUP wine_prefix)
  get_property(servers GLOBAL PROPERTY ORVO_INPROC_SERVERS)
  add_test(NAME ${ORVO_TEST_PREFIX}wine.regsvr32 COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session register ${CMAKE_BINARY_DIR} ${servers})
  get_property(registry_tests GLOBAL PROPERTY ORVO_REGISTRY_TESTS)
  set_tests_properties(${ORVO_TEST_PREFIX}wine.regsvr32 PROPERTIES FIXTURES_SETUP com_registered FIXTURES_REQUIRED wine_prefix
                       DEPENDS "${registry_tests}" RESOURCE_LOCK com_registry TIMEOUT 180)
endfunction()

# Embeds the type library <build>/interfaces/<name>.tlb (orvo_idl ... TLB) in
# a module as resource 1 of type TYPELIB, where LoadTypeLibEx on the module
# path finds it.
function(orvo_embed_typelib target name)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_typelib.rc)
  file(WRITE ${rc} "1 TYPELIB \"${ORVO_GENERATED}/${name}.tlb\"\n")
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ORVO_GENERATED}/${name}.tlb)
  add_dependencies(${target} ${name}_tlb)
endfunction()
