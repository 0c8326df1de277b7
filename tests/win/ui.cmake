# The window's controls and the assembled setup window view, with the program's
# own resources so that loading them is tested too.
enable_language(RC)
tavrin_add_gtest(win_ui LIBS tavrin_win
  SOURCES win/UiTestSupport.cpp win/ControlsTest.cpp win/ImgPanelTest.cpp win/ImgButtonTest.cpp
          win/SetupWindowViewTest.cpp ${PROJECT_SOURCE_DIR}/resources/TavrinSetup.rc)
target_include_directories(win_ui PRIVATE ${PROJECT_SOURCE_DIR}/resources)

# A program that shows the view until it is closed (used for the screenshot).
add_executable(ui_showcase WIN32 win/UiShowcase.cpp ${PROJECT_SOURCE_DIR}/resources/TavrinSetup.rc)
target_link_libraries(ui_showcase PRIVATE tavrin_win)
target_include_directories(ui_showcase PRIVATE ${PROJECT_SOURCE_DIR}/resources)
