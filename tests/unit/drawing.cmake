# Colours, the canvas, text layout and TRdFont, pixel by pixel with the fixed text
# renderer.
qarto_gtest(unit_drawing CanvasTest.cpp TextLayoutTest.cpp RdFontTest.cpp)
target_link_libraries(unit_drawing PRIVATE qarto_rdcontrol)
