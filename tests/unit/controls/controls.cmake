# The skinned controls of the layered family: form skin and shadow, image button,
# progress bar, notebooks, tray icon; and the pictures and drawing options every
# skinned control takes from a skin.
qarto_gtest(unit_controls_layered controls/FormSkinTest.cpp controls/ImageButtonTest.cpp
            controls/ProgressBarTest.cpp controls/NotebookTest.cpp controls/TrayIconTest.cpp
            controls/SkinPicturesTest.cpp)
target_link_libraries(unit_controls_layered PRIVATE qarto_controls)
