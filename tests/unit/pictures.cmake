# Pictures: PNG pictures with their settings, RDG images and their animation, the
# picture container, the image cache, the library's timer, lists and hashes.
qarto_gtest(unit_pictures PictureTest.cpp RdgImageTest.cpp RdTimerTest.cpp)
target_link_libraries(unit_pictures PRIVATE qarto_rdcontrol)
