# The ZIP entry ciphers and their crypto primitives: OpenSSL natively, CNG under Wine.
find_package(ZLIB REQUIRED)
tavrin_add_gtest(unit_crypto LIBS tavrin_portable ZLIB::ZLIB
                 SOURCES unit/CryptoPrimitivesTest.cpp unit/CryptoTraditionalTest.cpp unit/CryptoWinZipAesTest.cpp
                         unit/CryptoZipFixture.cpp)
