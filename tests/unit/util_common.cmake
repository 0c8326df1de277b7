tavrin_add_gtest(unit_util_common LIBS tavrin_portable SOURCES unit/FileInListTest.cpp)
