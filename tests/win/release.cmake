# Loading of system DLLs from the system folder only. The test programs run from
# a folder of their own that also holds a tiny DLL under a system DLL's name
# ("msimg32.dll") and under a name of its own, as a download folder might; the
# copies never reach the other test programs' folder.
set(release_folder ${CMAKE_CURRENT_BINARY_DIR}/release)
foreach(planted msimg32 tavrin-planted)
  string(REPLACE "-" "_" planted_target "release_planted_${planted}")
  add_library(${planted_target} SHARED win/release/PlantedLibrary.cpp)
  set_target_properties(${planted_target} PROPERTIES PREFIX "" OUTPUT_NAME ${planted}
                        RUNTIME_OUTPUT_DIRECTORY ${release_folder})
  list(APPEND release_planted_targets ${planted_target})
endforeach()

tavrin_add_gtest(win_release_system_library LIBS tavrin_win SOURCES win/release/SystemLibraryTest.cpp)
# A program of its own: the search restriction holds for the rest of the process.
tavrin_add_gtest(win_release_dll_search LIBS tavrin_portable SOURCES win/release/DllSearchTest.cpp)
foreach(test_program win_release_system_library win_release_dll_search)
  set_target_properties(${test_program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${release_folder})
  add_dependencies(${test_program} ${release_planted_targets})
endforeach()
