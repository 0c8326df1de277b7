# Tests of the ZIP component.
if(WIN32)
  set(archive_test_platform unit/ArchiveTestSupport_win.cpp unit/ArchiveMessagePumpTest_win.cpp)
else()
  set(archive_test_platform unit/ArchiveTestSupport_posix.cpp)
endif()
tavrin_add_gtest(unit_archive LIBS tavrin_portable
  SOURCES unit/ArchiveDirectoryTest.cpp unit/ArchiveExtractTest.cpp unit/ArchiveUnitTest.cpp
          unit/ArchiveTestSupport.cpp ${archive_test_platform})

if(TARGET tavrin-unzip)
  tavrin_add_gtest(unit_unzip_tool LIBS tavrin_portable SOURCES unit/UnZipToolTest.cpp unit/ArchiveTestSupport.cpp
                   unit/ArchiveTestSupport_posix.cpp)
  target_compile_definitions(unit_unzip_tool PRIVATE TAVRIN_UNZIP_TOOL="$<TARGET_FILE:tavrin-unzip>")
  add_dependencies(unit_unzip_tool tavrin-unzip)
endif()
