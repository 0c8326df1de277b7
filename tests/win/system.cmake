tavrin_add_gtest(win_system LIBS tavrin_win SOURCES win/GbkPathTest.cpp win/SetupWindowTest.cpp)
