# Target helpers shared by every folder. The same CMakeLists serve the host
# tree (Linux, portable cores, tests, benchmarks) and the Windows cross tree.

set(PROJECT_INCLUDE_DIRS ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/platform)

# A library of plain C++17 with no Win32 dependency; built in both trees.
function(portable_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_INCLUDE_DIRS})
endfunction()

# A library that needs Win32/COM; built in the Windows tree only.
function(windows_library name)
  if(WIN32)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_INCLUDE_DIRS})
  endif()
endfunction()

# A GoogleTest program. Host tests run natively (sanitized); Windows tests run
# under Wine through scripts/wine-test, which supplies prefix, display and a timeout.
#   project_test(name [WINDOWS] [TIMEOUT s] SOURCES ... LIBS ...)
function(project_test name)
  cmake_parse_arguments(T "WINDOWS" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(T_WINDOWS AND NOT WIN32)
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_INCLUDE_DIRS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} project_gtest_main)
  if(WIN32)
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-test --timeout ${T_TIMEOUT} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

# A Google Benchmark program; host release tree only.
function(host_benchmark name)
  if(NOT WIN32 AND BUILD_BENCHMARKS)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${B_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_INCLUDE_DIRS})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark_main)
  endif()
endfunction()

# A fuzz target (defines LLVMFuzzerTestOneInput). Built with libFuzzer when the
# compiler is clang; otherwise linked with a deterministic random-input driver and
# run as a sanitized host test, so every ./test exercises it.
function(host_fuzzer name)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(F "" "RUNS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_RUNS)
    set(F_RUNS 2000)
  endif()
  add_executable(${name} ${F_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_INCLUDE_DIRS})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_test(NAME ${name} COMMAND ${name} -runs=${F_RUNS} -seed=1)
  else()
    target_link_libraries(${name} PRIVATE project_fuzz_driver)
    add_test(NAME ${name} COMMAND ${name} ${F_RUNS})
  endif()
endfunction()

# A Windows program or plug-in (.exe, .dll, .ax): static runtime, no MinGW DLLs beside it.
function(windows_module name kind)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(M "" "SUFFIX;DEF" "SOURCES;LIBS" ${ARGN})
  if(kind STREQUAL "EXE")
    add_executable(${name} WIN32 ${M_SOURCES})
  elseif(kind STREQUAL "CONSOLE")
    add_executable(${name} ${M_SOURCES})
  else()
    add_library(${name} SHARED ${M_SOURCES} ${M_DEF})
    set_target_properties(${name} PROPERTIES PREFIX "")
    if(M_SUFFIX)
      set_target_properties(${name} PROPERTIES SUFFIX ${M_SUFFIX})
    endif()
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_INCLUDE_DIRS})
  target_link_libraries(${name} PRIVATE ${M_LIBS})
endfunction()
