tavrin_add_gtest(win_download LIBS tavrin_win ws2_32
  SOURCES win/DownloadThreadBaseTest.cpp win/FileDownLoadThreadTest.cpp win/LoopbackHttpServer.cpp)
