# The UI driver that end-to-end runs and the demo use to answer message boxes.
add_executable(tavrin-uidriver e2e/UiDriver.cpp)
target_link_libraries(tavrin-uidriver PRIVATE shell32)
set_target_properties(tavrin-uidriver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
