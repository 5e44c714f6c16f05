# Compiler settings shared by every target of the project.

# Everything includes from the repository root: "os/Registry.h", "services/...".
include_directories(${PROJECT_SOURCE_DIR})

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
                    -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
if(QARTO_WERROR)
  add_compile_options(-Werror)
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
elseif(QARTO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# qarto_gtest(TARGET SOURCES...): a GoogleTest program registered with ctest. On the
# host each test case is its own ctest entry; a Windows program is one entry, run
# under Wine by the emulator.
find_package(GTest REQUIRED)
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
