# The installer application's portable logic: page flow, install folder and options,
# user configuration, language choice.
qarto_gtest(unit_installer installer/PageFlowTest.cpp installer/InstallPathTest.cpp installer/InstallOptionsTest.cpp
            installer/LanguageTest.cpp installer/StartupAndSkinTest.cpp installer/FlowRulesTest.cpp
            installer/PackageCommandLineTest.cpp)
target_link_libraries(unit_installer PRIVATE qarto_installer_core)
# The demo package's portable switch parser (tools/demo is built only for Windows)
# reads back the command lines the installer builds.
target_sources(unit_installer PRIVATE ${PROJECT_SOURCE_DIR}/tools/demo/DemoArguments.cpp
                                      ${PROJECT_SOURCE_DIR}/tools/demo/SetupSwitches.cpp)

# The install flow against the local test server.
qarto_gtest(unit_install_flow installer/InstallFlowTest.cpp)
target_link_libraries(unit_install_flow PRIVATE qarto_installer_core qarto_test_support)

# The installer window on fake windows, with this tree's language files and skin
# pictures as its resources.
qarto_gtest(unit_installer_window installer/WindowTest.cpp)
target_link_libraries(unit_installer_window PRIVATE qarto_installer_window qarto_test_support)
target_compile_definitions(unit_installer_window PRIVATE QARTO_BINARY_DIR="${PROJECT_BINARY_DIR}")
add_dependencies(unit_installer_window qarto_language_resources qarto_skin_pictures)

# The setup package's Authenticode check on a table of real files signed at build
# time, and the install flow's case with them.
include(${PROJECT_SOURCE_DIR}/tests/support/signing_cases.cmake)
qarto_gtest(unit_package_signature installer/PackageSignatureTest.cpp)
target_link_libraries(unit_package_signature PRIVATE qarto_installer_core)
foreach(test unit_package_signature unit_install_flow)
  target_compile_definitions(${test} PRIVATE QARTO_SIGNING_CASES="${QARTO_SIGNING_CASES}")
  add_dependencies(${test} signing_cases)
endforeach()
# The folders the elevated installer trusts: the verdict on security descriptors,
# the download folder's choice and sweep, install folders, on a made-up file system.
qarto_gtest(unit_secure_folder installer/FolderTrustTest.cpp installer/SecureFolderTest.cpp)
target_link_libraries(unit_secure_folder PRIVATE qarto_installer_core)
