# The installer application's portable logic: page flow, install folder and options,
# user configuration, language choice.
qarto_gtest(unit_installer installer/PageFlowTest.cpp installer/InstallPathTest.cpp installer/InstallOptionsTest.cpp
            installer/LanguageTest.cpp installer/StartupAndSkinTest.cpp installer/FlowRulesTest.cpp)
target_link_libraries(unit_installer PRIVATE qarto_installer_core)
