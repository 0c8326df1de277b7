# Decryption of encrypted entries through the ZIP component, and the package
# check and extraction front end (CheckZipFile, UnZipFile).
if(WIN32)
  set(frontend_test_platform unit/ArchiveTestSupport_win.cpp)
else()
  set(frontend_test_platform unit/ArchiveTestSupport_posix.cpp)
endif()
tavrin_add_gtest(unit_encrypted_archive LIBS tavrin_portable
  SOURCES unit/EncryptedArchiveTest.cpp unit/PackageTestSupport.cpp unit/ArchiveTestSupport.cpp
          ${frontend_test_platform})
tavrin_add_gtest(unit_package_archive LIBS tavrin_portable
  SOURCES unit/PackageArchiveTest.cpp unit/PackageTestSupport.cpp unit/ArchiveTestSupport.cpp
          ${frontend_test_platform})
