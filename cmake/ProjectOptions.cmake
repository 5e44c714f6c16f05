# Compiler settings shared by every target of the project.

# Everything includes from the repository root: "os/Registry.h", "services/...".
include_directories(${PROJECT_SOURCE_DIR})

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
                    -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
if(QARTO_WERROR)
  add_compile_options(-Werror)
endif()
# GCC 12 reports impossible overlaps in inlined std::string concatenations at -O2
# and above (a known false positive of its -Wrestrict, fixed in GCC 13).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()

if(WIN32)
  # Windows 7 is the oldest system the installer runs on.
  add_compile_definitions(UNICODE _UNICODE NOMINMAX WINVER=0x0601 _WIN32_WINNT=0x0601)
  # One self-contained program: no runtime DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Keep only the code that is reached: the program is downloaded by every user.
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections)
  # Tests run the Windows programs under Wine in a throwaway prefix of this tree;
  # <tree>/wine-run PROGRAM [ARGS...] runs one there (ctest's emulator, and by hand).
  set(QARTO_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix)
  set(QARTO_WINE_RUN ${PROJECT_BINARY_DIR}/wine-run)
  file(CONFIGURE OUTPUT ${QARTO_WINE_RUN} CONTENT
       "#!/bin/sh\n# Runs a Windows program under Wine in this tree's prefix.\nexec '${PROJECT_SOURCE_DIR}/scripts/lib/wine-run' '${QARTO_WINEPREFIX}' \"$@\"\n")
  file(CHMOD ${QARTO_WINE_RUN} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
       WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QARTO_WINE_RUN})

  # Which Windows tests this tree registers. The 64-bit tree (the test lane) runs
  # them all at native speed on every machine. The 32-bit tree is the product: it
  # builds everything (both widths compile warning-free) but registers only a smoke
  # set, since each 32-bit process costs about a minute where 32-bit code is
  # emulated. Its scripts borrow the 64-bit tree's helper programs when
  # QARTO_HELPER_TREE names it.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(QARTO_WIN_LANE smoke)
  else()
    set(QARTO_WIN_LANE full)
  endif()
  set(QARTO_HELPER_TREE "" CACHE PATH "A 64-bit Windows tree whose helper programs the 32-bit tree's tests use")
elseif(QARTO_FUZZ)
  # Every library is instrumented for coverage; the fuzz programs add the driver.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g -O1)
  add_link_options(-fsanitize=address,undefined)
elseif(QARTO_SANITIZE AND NOT QARTO_BENCH)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# OpenSSL: the system's on the host, the static build from the dependency cache for
# Windows (which needs these system libraries after it).
if(WIN32)
  set(OPENSSL_USE_STATIC_LIBS ON)
  set(OPENSSL_ROOT_DIR ${QARTO_MINGW_DEPS})
endif()
find_package(OpenSSL 3.0 REQUIRED)
if(WIN32)
  target_link_libraries(OpenSSL::Crypto INTERFACE ws2_32 crypt32 bcrypt advapi32 user32)
endif()

# JSON (nlohmann, header only; ordered_json keeps member order): qarto_json. The
# Windows trees take the same Debian headers, copied into the tree alone: adding the
# host's include folder to a cross build would bring the host's C headers with it.
if(WIN32)
  find_path(QARTO_NLOHMANN_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT QARTO_NLOHMANN_INCLUDE)
    message(FATAL_ERROR "nlohmann/json.hpp not found (Debian package nlohmann-json3-dev)")
  endif()
  file(COPY ${QARTO_NLOHMANN_INCLUDE}/nlohmann DESTINATION ${PROJECT_BINARY_DIR}/third-party/include)
  add_library(qarto_json INTERFACE)
  target_include_directories(qarto_json SYSTEM INTERFACE ${PROJECT_BINARY_DIR}/third-party/include)
else()
  find_package(nlohmann_json 3 REQUIRED)
  add_library(qarto_json INTERFACE)
  target_link_libraries(qarto_json INTERFACE nlohmann_json::nlohmann_json)
endif()

# qarto_gtest(TARGET SOURCES...): a GoogleTest program registered with ctest. On the
# host each test case is its own ctest entry; a Windows program is one entry, run
# under Wine by the emulator.
if(NOT QARTO_FUZZ AND NOT QARTO_BENCH)
  find_package(GTest REQUIRED)
endif()
function(qarto_gtest target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main)
  if(WIN32)
    qarto_win_test(full NAME ${target} COMMAND ${target})
  else()
    include(GoogleTest)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()

# qarto_win_test(LANES NAME name COMMAND ...): a Windows test registered in the trees
# whose lane is listed in LANES ("full", "smoke" or "full;smoke"). Tests carry the
# label of their tree ("win64" or "win32"); the 32-bit tree's may take 10 minutes,
# as its processes may be emulated (each step inside them has a shorter bound of its
# own that says what it waited for).
function(qarto_win_test lanes)
  if(QARTO_WIN_LANE IN_LIST lanes)
    add_test(${ARGN})
    list(GET ARGN 1 name)
    if(QARTO_WIN_LANE STREQUAL "smoke")
      set_tests_properties(${name} PROPERTIES LABELS win32 TIMEOUT 600)
    else()
      set_tests_properties(${name} PROPERTIES LABELS win64)
    endif()
  endif()
endfunction()

# qarto_win_helper(VAR TARGET): the path of a helper program of tests/e2e (wintool,
# trustca) for test scripts: the 64-bit tree's where this tree is told of one (that
# tree is then built first), else its own.
function(qarto_win_helper var target)
  if(QARTO_HELPER_TREE)
    set(${var} "${QARTO_HELPER_TREE}/tests/e2e/${target}.exe" PARENT_SCOPE)
  else()
    set(${var} "$<TARGET_FILE:${target}>" PARENT_SCOPE)
  endif()
endfunction()

# qarto_fuzzer(TARGET SOURCES...): a libFuzzer program that ctest runs for
# QARTO_FUZZ_SECONDS, starting from the seeds in tests/fuzz/corpus/TARGET and
# replaying every input kept in tests/fuzz/regressions/TARGET (inputs that once
# crashed). New corpus entries go to the build tree, never the repository.
# Every fuzz program is also a dependency of the target `fuzz_targets`, which
# scripts/test builds (the libraries nothing fuzzes are left out).
if(QARTO_FUZZ)
  add_custom_target(fuzz_targets)
endif()
function(qarto_fuzzer target)
  add_executable(${target} ${ARGN})
  add_dependencies(fuzz_targets ${target})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  set(seeds ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${target})
  set(regressions ${PROJECT_SOURCE_DIR}/tests/fuzz/regressions/${target})
  set(work ${CMAKE_CURRENT_BINARY_DIR}/corpus-${target})
  file(MAKE_DIRECTORY ${work} ${seeds})
  add_test(NAME ${target}
           COMMAND ${target} -max_total_time=${QARTO_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=10
                   -print_final_stats=1 ${work} ${seeds})
  if(EXISTS ${regressions})
    add_test(NAME ${target}_regressions COMMAND ${target} -runs=0 ${regressions})
  endif()
endfunction()

# qarto_benchmark(TARGET SOURCES...): a Google Benchmark program for scripts/bench.
if(QARTO_BENCH)
  find_package(benchmark REQUIRED)
endif()
function(qarto_benchmark target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE benchmark::benchmark benchmark::benchmark_main)
endfunction()
