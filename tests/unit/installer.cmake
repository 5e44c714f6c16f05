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
# Its signature case runs real signed packages (below).
target_compile_definitions(unit_install_flow PRIVATE QARTO_SIGNING_CASES="${CMAKE_CURRENT_BINARY_DIR}/signing-cases")

# The installer window on fake windows, with this tree's language files and skin
# pictures as its resources.
qarto_gtest(unit_installer_window installer/WindowTest.cpp)
target_link_libraries(unit_installer_window PRIVATE qarto_installer_window)
target_compile_definitions(unit_installer_window PRIVATE QARTO_BINARY_DIR="${PROJECT_BINARY_DIR}")
add_dependencies(unit_installer_window qarto_language_resources qarto_skin_pictures)

# The setup package's Authenticode check on a table of real files signed at build
# time with osslsigncode by the test publishers (tools/signing/make-signed-cases.py).
find_program(QARTO_OSSLSIGNCODE osslsigncode REQUIRED)
find_package(Python3 3.9 REQUIRED COMPONENTS Interpreter)
set(QARTO_SIGNING_DIR ${PROJECT_SOURCE_DIR}/tools/signing)
set(signing_cases ${CMAKE_CURRENT_BINARY_DIR}/signing-cases)
file(GLOB signing_inputs ${QARTO_SIGNING_DIR}/*.pem ${QARTO_SIGNING_DIR}/*.key)
add_custom_command(OUTPUT ${signing_cases}/made
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${signing_cases}
  COMMAND ${Python3_EXECUTABLE} ${QARTO_SIGNING_DIR}/make-signed-cases.py ${signing_cases}
  COMMAND ${CMAKE_COMMAND} -E touch ${signing_cases}/made
  DEPENDS ${QARTO_SIGNING_DIR}/make-signed-cases.py ${QARTO_SIGNING_DIR}/sign-test.sh ${signing_inputs}
  COMMENT "Signing the signature check's test files")
add_custom_target(signing_cases DEPENDS ${signing_cases}/made)
qarto_gtest(unit_package_signature installer/PackageSignatureTest.cpp)
target_link_libraries(unit_package_signature PRIVATE qarto_installer_core)
target_compile_definitions(unit_package_signature PRIVATE QARTO_SIGNING_CASES="${signing_cases}")
add_dependencies(unit_package_signature signing_cases)
add_dependencies(unit_install_flow signing_cases)
