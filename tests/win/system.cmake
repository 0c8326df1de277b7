enable_language(RC)
tavrin_add_gtest(win_system LIBS tavrin_win
  SOURCES win/GbkPathTest.cpp win/SetupWindowTest.cpp ${PROJECT_SOURCE_DIR}/resources/TavrinSetup.rc)
target_include_directories(win_system PRIVATE ${PROJECT_SOURCE_DIR}/resources)
