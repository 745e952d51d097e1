# Host build of the pure rules and their tests, under ASan and UBSan.

# Or, in a build directory of their own configured with clang, the fuzz targets
# alone (scripts/fuzz).
option(SKEIN_FUZZ "Build only the libFuzzer targets of tools/fuzz (needs clang)" OFF)
if(SKEIN_FUZZ)
  set_target_properties(skein_rules PROPERTIES EXCLUDE_FROM_ALL ON)
  add_subdirectory(tools/fuzz)
  return()
endif()

set(SKEIN_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(skein_rules PRIVATE ${SKEIN_SANITIZE} -g)
target_link_options(skein_rules PUBLIC ${SKEIN_SANITIZE})

add_executable(skein_rules_tests ${SKEIN_RULE_TESTS})
target_compile_options(skein_rules_tests PRIVATE ${SKEIN_SANITIZE} -g)
target_link_libraries(skein_rules_tests PRIVATE skein_rules gtest_main)
gtest_discover_tests(skein_rules_tests TEST_PREFIX "native." DISCOVERY_MODE PRE_TEST)

file(GLOB SKEIN_NATIVE_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/bench/native_*.cpp)
foreach(src ${SKEIN_NATIVE_BENCHES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_compile_options(${name} PRIVATE -O2)
  target_link_libraries(${name} PRIVATE skein_rules)
endforeach()
