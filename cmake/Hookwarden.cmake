# Build rules shared by every folder.
#
# Platform-free code (no <windows.h>) goes into static libraries made with
# hw_portable_library; they build in both presets, natively (the native preset)
# under the address and undefined-behaviour sanitizers. Win32 code builds only in
# the windows preset.

if(WIN32)
  set(HW_WINDOWS ON)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
  # The binaries must run on a Windows machine without a compiler: link the
  # compiler's runtime (libstdc++, libgcc, winpthread) statically.
  string(APPEND CMAKE_EXE_LINKER_FLAGS " -static")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " -static")
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_compile_options(-Wall -Wextra)
  set(HW_APP_DIR ${CMAKE_BINARY_DIR}/app)
else()
  set(HW_WINDOWS OFF)
  add_compile_options(-Wall -Wextra)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Shipping.cmake)

# The native preset turns this on; a plain build with any compiler leaves it off.
option(HW_SANITIZE "Address and undefined-behaviour sanitizers, and the libFuzzer targets (clang only)" OFF)
if(HW_SANITIZE)
  if(HW_WINDOWS OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "HW_SANITIZE needs a native clang build; this one uses ${CMAKE_CXX_COMPILER_ID}")
  endif()
  # fuzzer-no-link: coverage for the fuzz targets, which link the same libraries.
  add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# hw_portable_library(NAME src...): platform-free code, built in both presets.
function(hw_portable_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# hw_nlohmann_json: Debian's header-only JSON library (nlohmann-json3-dev), the one
# JSON reader of the browser host and the definitions tool. Its headers lie in
# /usr/include beside the build machine's own C headers, which must never reach
# the mingw build: the target's include folder holds only a link to nlohmann/.
find_path(HW_NLOHMANN_JSON_ROOT nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
if(NOT HW_NLOHMANN_JSON_ROOT)
  message(FATAL_ERROR "No nlohmann/json.hpp: install Debian's package nlohmann-json3-dev")
endif()
set(HW_NLOHMANN_JSON_INCLUDE ${CMAKE_BINARY_DIR}/nlohmann-json)
file(MAKE_DIRECTORY ${HW_NLOHMANN_JSON_INCLUDE})
file(CREATE_LINK ${HW_NLOHMANN_JSON_ROOT}/nlohmann ${HW_NLOHMANN_JSON_INCLUDE}/nlohmann SYMBOLIC)
add_library(hw_nlohmann_json INTERFACE)
target_include_directories(hw_nlohmann_json SYSTEM INTERFACE ${HW_NLOHMANN_JSON_INCLUDE})

# The ready application folder build/windows/app: binaries and the files that the
# console and the engine library find by name in their own folder.
if(HW_WINDOWS)
  add_custom_target(app ALL)
endif()

# hw_app_target(TARGET [SUBDIR]): copy a built binary into the application folder,
# signed first in a signed build. Each such target also calls hw_version_info.
function(hw_app_target target)
  if(NOT HW_WINDOWS)
    return()
  endif()
  set(dest ${HW_APP_DIR})
  if(ARGC GREATER 1)
    set(dest ${HW_APP_DIR}/${ARGV1})
  endif()
  add_dependencies(app ${target})
  # The installer takes exactly what the build lays into the folder.
  file(RELATIVE_PATH reldest ${HW_APP_DIR} ${dest})
  set_property(GLOBAL APPEND PROPERTY HW_APP_FILES "$<TARGET_FILE:${target}>|${reldest}")
  hw_sign_after_link(${target})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dest}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${dest}/
    VERBATIM)
endfunction()

# hw_app_file(SOURCE DEST [DEPENDS target...]): copy a file into the application
# folder, DEST relative to it. SOURCE may be a file that the build generates.
function(hw_app_file source dest)
  if(NOT HW_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(F "" "" "DEPENDS" ${ARGN})
  set(output ${HW_APP_DIR}/${dest})
  get_filename_component(destdir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${destdir}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${output}
    DEPENDS ${source} ${F_DEPENDS}
    VERBATIM)
  get_filename_component(reldir ${dest} DIRECTORY)
  set_property(GLOBAL APPEND PROPERTY HW_APP_FILES "${output}|${reldir}")
  string(MAKE_C_IDENTIFIER "app_${dest}" name)
  add_custom_target(${name} DEPENDS ${output})
  add_dependencies(app ${name})
endfunction()

# hw_test_program(NAME SOURCES src... LIBS lib...): one GoogleTest program.
# Natively every test case becomes a CTest test. In the windows preset the whole
# program is one CTest test run under Wine, because a Windows program takes
# seconds to start there.
function(hw_test_program name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  if(HW_WINDOWS)
    add_dependencies(${name} app)
    hw_wine_test(${name} $<TARGET_FILE:${name}>)
  else()
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# hw_test_helper(NAME src... [LIBS lib...]): a Windows program that tests start as a
# second process (a sender, a receiver). It lands in bin/ beside the tests.
function(hw_test_helper name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
endfunction()

# hw_wine_test(NAME EXE [ARGS...]): run a Windows program under Wine as one test.
# All Wine tests share one prefix and one wine server inside the build folder, so
# they run one after another.
function(hw_wine_test name exe)
  add_test(NAME ${name}
    COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/wine-session.sh run ${CMAKE_BINARY_DIR} ${exe} ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 900)
endfunction()

# hw_fuzz_target(NAME SOURCES src... LIBS lib...): a libFuzzer target (HW_SANITIZE
# builds only). Its seeds are fuzz/corpus/NAME; the test fuzz.NAME runs it for
# HW_FUZZ_SECONDS and keeps what it finds in the build folder, not in the sources.
set(HW_FUZZ_SECONDS 15 CACHE STRING "Seconds each fuzz target runs as a test")
function(hw_fuzz_target name)
  if(NOT HW_SANITIZE)
    return()
  endif()
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
  add_test(NAME fuzz.${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            $<TARGET_FILE:${name}> -max_total_time=${HW_FUZZ_SECONDS} -rss_limit_mb=2048
            -print_final_stats=1 ${work} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 300)
  file(MAKE_DIRECTORY ${work})
endfunction()

# hw_seeded_folder(SEED OUTVAR): the two folder names below the application folder
# that the console derives from a seed (languages 8, help 10, screens 11), as
# "first/second". The same linear congruential generator as the console's code.
function(hw_seeded_folder seed outvar)
  set(state ${seed})
  set(names "")
  foreach(i RANGE 1 2)
    math(EXPR state "(${state} * 214013 + 2531011) & 0xFFFFFFFF")
    math(EXPR value "(${state} >> 16) & 0x7FFF")
    list(APPEND names ${value})
  endforeach()
  list(JOIN names "/" path)
  set(${outvar} ${path} PARENT_SCOPE)
endfunction()
