# The skin binding: packages, value syntax, property tables, style and skin classes.
qarto_gtest(unit_skin SkinTest.cpp SkinValueTest.cpp)
target_link_libraries(unit_skin PRIVATE qarto_rdcontrol)
