# The Windows program (32-bit; 64-bit where only 64-bit Wine runs, see
# scripts/wine-env), its in-process test suite and the benchmarks.
add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 NOMINMAX STRICT)

file(GLOB SKEIN_WIN_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/framework/*.cpp
     ${CMAKE_SOURCE_DIR}/core/*.cpp
     ${CMAKE_SOURCE_DIR}/urls/*.cpp
     ${CMAKE_SOURCE_DIR}/app/*.cpp
     ${CMAKE_SOURCE_DIR}/sidebar/*.cpp)
list(REMOVE_ITEM SKEIN_WIN_SOURCES ${CMAKE_SOURCE_DIR}/app/WinMain.cpp)

set(SKEIN_WIN_LIBS comctl32 comdlg32 wininet gdi32 shell32 ole32 oleaut32 uuid ws2_32 shlwapi)

add_library(skein_core STATIC ${SKEIN_WIN_SOURCES})
target_include_directories(skein_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res)
target_link_libraries(skein_core PUBLIC skein_rules ${SKEIN_WIN_LIBS})

configure_file(${CMAKE_SOURCE_DIR}/res/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
# Windows (and Wine) ignore a manifest written for another processor, and with
# it the common controls and the code page it asks for.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(SKEIN_MANIFEST_ARCH amd64)
else()
  set(SKEIN_MANIFEST_ARCH x86)
endif()
configure_file(${CMAKE_SOURCE_DIR}/res/skein.manifest ${CMAKE_BINARY_DIR}/generated/skein.manifest @ONLY)
target_include_directories(skein_core PUBLIC ${CMAKE_BINARY_DIR}/generated)

set(SKEIN_RC ${CMAKE_SOURCE_DIR}/res/skein.rc)
set_source_files_properties(${SKEIN_RC} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_BINARY_DIR}/generated/skein.manifest;${CMAKE_SOURCE_DIR}/res/skein.ico;${CMAKE_BINARY_DIR}/generated/version.h")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

add_executable(skein WIN32 ${CMAKE_SOURCE_DIR}/app/WinMain.cpp ${SKEIN_RC})
target_link_libraries(skein PRIVATE skein_core)

file(GLOB SKEIN_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(skein_tests ${SKEIN_RULE_TESTS} ${SKEIN_WIN_TESTS} ${SKEIN_RC})
target_include_directories(skein_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(skein_tests PRIVATE skein_core gtest)
target_compile_definitions(skein_tests PRIVATE SKEIN_EXE_PATH="$<TARGET_FILE:skein>")
add_dependencies(skein_tests skein)
# Tests run two at a time on one display, where the mouse cursor is shared:
# the ones that move it take turns.
set(SKEIN_CURSOR_TESTS "GripBarTest.*:DockLayout.*")
gtest_discover_tests(skein_tests TEST_PREFIX "win." DISCOVERY_MODE PRE_TEST TEST_FILTER "-${SKEIN_CURSOR_TESTS}"
                     DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 120)
gtest_discover_tests(skein_tests TEST_PREFIX "win." DISCOVERY_MODE PRE_TEST TEST_FILTER "${SKEIN_CURSOR_TESTS}"
                     DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 120 RESOURCE_LOCK cursor)

file(GLOB SKEIN_WIN_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/bench/win_*.cpp)
file(GLOB SKEIN_TOOL_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/support/*.cpp)
if(SKEIN_TOOL_SUPPORT)
  add_library(skein_tool_support STATIC ${SKEIN_TOOL_SUPPORT})
  target_link_libraries(skein_tool_support PUBLIC skein_core)
  target_link_libraries(skein_tests PRIVATE skein_tool_support)
endif()
foreach(src ${SKEIN_WIN_BENCHES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} ${SKEIN_RC})
  target_compile_options(${name} PRIVATE -O2)
  target_link_libraries(${name} PRIVATE skein_core)
  if(SKEIN_TOOL_SUPPORT)
    target_link_libraries(${name} PRIVATE skein_tool_support)
  endif()
endforeach()
