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

# The module-definition file for this tree's width. Our .def files are written
# for i686, where __stdcall symbols carry @<argument bytes>; x86-64 has one
# calling convention and no decoration, so its copy drops the suffixes and the
# aliases that only map plain names onto decorated ones.
function(windows_def_for_width out_var def)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(${out_var} ${def} PARENT_SCOPE)
    return()
  endif()
  file(READ ${def} text)
  string(REGEX REPLACE "[ \t]*=[ \t]*[A-Za-z_][A-Za-z_0-9]*@[0-9]+" "" text "${text}")
  string(REGEX REPLACE "@[0-9]+" "" text "${text}")
  get_filename_component(base ${def} NAME)
  set(plain ${CMAKE_BINARY_DIR}/def64/${base})
  file(WRITE ${plain}.new "${text}")
  file(COPY_FILE ${plain}.new ${plain} ONLY_IF_DIFFERENT)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
  set(${out_var} ${plain} PARENT_SCOPE)
endfunction()

# A Windows program or plug-in (.exe, .dll, .ax): static runtime, no MinGW DLLs beside it.
#   windows_module(name EXE|CONSOLE|DLL [SUFFIX .ax] [DEF file.def [PLAIN_IMPORTS]]
#                  SOURCES ... LIBS ...)
# PLAIN_IMPORTS: a DLL whose __stdcall exports are named plainly (no @N) and
# whose callers link against those plain names through its import library.
function(windows_module name kind)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(M "PLAIN_IMPORTS" "SUFFIX;DEF" "SOURCES;LIBS" ${ARGN})
  if(M_DEF)
    windows_def_for_width(M_DEF ${M_DEF})
  endif()
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
  if(M_PLAIN_IMPORTS AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    # i686: the export table names the functions plainly (--kill-at), and the
    # import library is made again from the decorated .def so that callers'
    # _Name@N references resolve to those plain names. On x86-64 the linker's
    # own import library already has the plain names.
    target_link_options(${name} PRIVATE -Wl,--kill-at)
    find_program(I686_DLLTOOL NAMES i686-w64-mingw32-dlltool REQUIRED)
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${I686_DLLTOOL} --input-def ${M_DEF} --dllname ${name}.dll
              --kill-at --output-lib $<TARGET_LINKER_FILE:${name}>
      VERBATIM)
  endif()
endfunction()

# Files drawn or written by a Python script into a folder of the build. The
# script takes the folder, or --list for the names it writes (one a line,
# relative to the folder); it leaves unchanged files alone, so every output
# is touched afterwards to keep the build from running it again.
#   drawn_files(target SCRIPT script.py DIR folder COMMENT text SOURCES files...)
function(drawn_files target)
  cmake_parse_arguments(D "" "SCRIPT;DIR;COMMENT" "SOURCES" ${ARGN})
  find_program(PROJECT_PYTHON NAMES python3 REQUIRED)
  execute_process(COMMAND ${PROJECT_PYTHON} ${D_SCRIPT} --list
                  OUTPUT_VARIABLE names OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" names "${names}")
  list(TRANSFORM names PREPEND ${D_DIR}/ OUTPUT_VARIABLE outputs)
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${PROJECT_PYTHON} ${D_SCRIPT} ${D_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${outputs}
    DEPENDS ${D_SOURCES} ${PROJECT_SOURCE_DIR}/scripts/asset_files.py
    COMMENT "${D_COMMENT}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
