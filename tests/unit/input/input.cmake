# The input controls on the host: the HTML label's markup, layout and links, the
# combo box's geometry, list window and hook rules, the scroll bars, the skinned
# edit's state rules, with fake windows and the fixed text renderer.
qarto_gtest(unit_input_controls input/HtmlMarkupTest.cpp input/HtmLabelTest.cpp input/LabelTest.cpp input/ScrollBarTest.cpp
            input/ComboBoxTest.cpp input/EditTest.cpp)
target_link_libraries(unit_input_controls PRIVATE qarto_controls)
