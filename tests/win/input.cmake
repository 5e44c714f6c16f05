# The input controls under Wine: native edit snapshots and colours, the disabled
# edit's hit test, the combo box's application hook on real messages.
qarto_gtest(win_controls_input InputWinTest.cpp)
target_link_libraries(win_controls_input PRIVATE qarto_controls)
