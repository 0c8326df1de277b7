tavrin_add_gtest(unit_ui LIBS tavrin_portable
  SOURCES unit/PngDrawTest.cpp unit/PngPictureTest.cpp unit/SlideshowStateTest.cpp unit/ImgButtonLayoutTest.cpp)
