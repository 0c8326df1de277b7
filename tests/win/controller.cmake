tavrin_add_gtest(win_controller LIBS tavrin_win ws2_32 comctl32
  SOURCES win/SetupControllerTest.cpp win/ErrorReportTest.cpp win/LoopbackHttpServer.cpp win/MessageBoxDriver.cpp)
