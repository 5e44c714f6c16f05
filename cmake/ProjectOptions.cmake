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
  # Tests run the Windows programs under Wine in a throwaway prefix of this tree.
  set(QARTO_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/lib/wine-run ${QARTO_WINEPREFIX})
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
    add_test(NAME ${target} COMMAND ${target})
  else()
    include(GoogleTest)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()

# qarto_fuzzer(TARGET SOURCES...): a libFuzzer program that ctest runs for
# QARTO_FUZZ_SECONDS, starting from the seeds in tests/fuzz/corpus/TARGET and
# replaying every input kept in tests/fuzz/regressions/TARGET (inputs that once
# crashed). New corpus entries go to the build tree, never the repository.
function(qarto_fuzzer target)
  add_executable(${target} ${ARGN})
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
