# The layered family of skinned controls under Wine: form skin and shadow windows,
# tray icon, taskbar progress.
qarto_gtest(win_controls_layered FormSkinWinTest.cpp TrayIconWinTest.cpp)
target_link_libraries(win_controls_layered PRIVATE qarto_controls)
