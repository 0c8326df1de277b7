tavrin_add_gtest(unit_util LIBS tavrin_portable SOURCES unit/AnsiPathTest.cpp)
