# Tests of the decoders for the older methods: shrunk, reduced and imploded.
if(WIN32)
  set(legacy_test_platform unit/ArchiveTestSupport_win.cpp)
else()
  set(legacy_test_platform unit/ArchiveTestSupport_posix.cpp)
endif()
tavrin_add_gtest(unit_legacy LIBS tavrin_portable
  SOURCES unit/LegacyArchiveTest.cpp unit/LegacyDecoderTest.cpp unit/LegacyTestSupport.cpp
          unit/ArchiveTestSupport.cpp ${legacy_test_platform})
