# Text through GDI onto 32-bit surfaces: coverage, colour and alpha, metrics, wrapping.
qarto_gtest(win_text_render TextRenderWinTest.cpp)
target_link_libraries(win_text_render PRIVATE qarto_rdcontrol)
