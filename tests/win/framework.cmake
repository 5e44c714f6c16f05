# The framework's Win32 windows, messages and native children under Wine.
qarto_gtest(win_framework FrameworkWinTest.cpp)
target_link_libraries(win_framework PRIVATE qarto_framework)
