# Programs that create the setup window carry the program's pictures as resources.
enable_language(RC)
tavrin_add_gtest(win_controller LIBS tavrin_win ws2_32 comctl32
  SOURCES win/SetupControllerTest.cpp win/ErrorReportTest.cpp win/LoopbackHttpServer.cpp win/MessageBoxDriver.cpp
          ${PROJECT_SOURCE_DIR}/resources/TavrinSetup.rc)
target_include_directories(win_controller PRIVATE ${PROJECT_SOURCE_DIR}/resources)
