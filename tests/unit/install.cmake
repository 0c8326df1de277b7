tavrin_add_gtest(unit_install LIBS tavrin_portable SOURCES unit/InstallPathsTest.cpp)
