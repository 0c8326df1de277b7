# File-system helpers, process termination and shell shortcuts, with the two
# helpers the process tests start: a small library and a program that loads it.
add_library(util_held_module SHARED win/helpers/HeldModule.cpp)
set_target_properties(util_held_module PROPERTIES PREFIX "" OUTPUT_NAME HeldModule)
add_executable(util_module_holder win/helpers/ModuleHolder.cpp)
set_target_properties(util_module_holder PROPERTIES OUTPUT_NAME ModuleHolder)

tavrin_add_gtest(win_util LIBS tavrin_win
  SOURCES win/FindFilesTest.cpp win/DeleteDirTest.cpp win/KillProcessesTest.cpp win/ShellShortcutTest.cpp win/UtilAllocationFaults.cpp)
add_dependencies(win_util util_held_module util_module_holder)
target_compile_definitions(win_util PRIVATE
  HELD_MODULE_DLL="Z:$<TARGET_FILE:util_held_module>"
  MODULE_HOLDER_EXE="Z:$<TARGET_FILE:util_module_holder>")
# Under Wine the shell moves deleted trees into the XDG trash: keep it in the build folder.
set_tests_properties(win_util PROPERTIES ENVIRONMENT "XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/util-xdg-data")
