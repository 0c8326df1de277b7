// The WinZip AES entry cipher against archives made by 7-Zip (AE-2) and
// libarchive (AE-1).
#include "archive/crypto/WinZipAesCipher.h"
#include "CryptoZipFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <span>
#include <stdexcept>
#include <string>

namespace {

const std::string kPassword = "PlovoTarnis";
const std::string kPassword128 = std::string(64, 'P') + std::string(64, 'l');

// An AES entry's stored bytes split into their four parts.
struct TAesParts {
    std::vector<std::uint8_t> Salt;
    std::span<const std::uint8_t, TWinZipAesCipher::kVerifierSize> Verifier;
    std::vector<std::uint8_t> Data;
    std::span<const std::uint8_t, TWinZipAesCipher::kAuthCodeSize> Code;
};

TAesParts SplitAesEntry(const TZipFixtureEntry& entry) {
    const std::size_t saltLength = TWinZipAesCipher::SaltLength(entry.AesStrength);
    const std::size_t overhead = saltLength + TWinZipAesCipher::kVerifierSize + TWinZipAesCipher::kAuthCodeSize;
    if (entry.Stored.size() < overhead)
        throw std::runtime_error("fixture: AES entry too short");
    const auto* stored = entry.Stored.data();
    const auto* data = stored + saltLength + TWinZipAesCipher::kVerifierSize;
    const auto* code = stored + entry.Stored.size() - TWinZipAesCipher::kAuthCodeSize;
    return TAesParts{{stored, stored + saltLength},
                     std::span<const std::uint8_t, TWinZipAesCipher::kVerifierSize>(stored + saltLength, 2),
                     {data, code},
                     std::span<const std::uint8_t, TWinZipAesCipher::kAuthCodeSize>(code, 10)};
}

std::vector<std::uint8_t> Finish(const TZipFixtureEntry& entry, std::vector<std::uint8_t> plain) {
    if (entry.ActualMethod == 8)
        return InflateRaw(plain, entry.UncompressedSize);
    EXPECT_EQ(entry.ActualMethod, 0);
    return plain;
}

TEST(WinZipAesSizes, FollowTheStrength) {
    struct TCase {
        int Strength;
        std::size_t Key;
        std::size_t Salt;
    };
    for (const TCase& c : {TCase{1, 16, 8}, TCase{2, 24, 12}, TCase{3, 32, 16}}) {
        EXPECT_TRUE(TWinZipAesCipher::IsValidStrength(c.Strength));
        EXPECT_EQ(TWinZipAesCipher::KeyLength(c.Strength), c.Key);
        EXPECT_EQ(TWinZipAesCipher::SaltLength(c.Strength), c.Salt);
    }
    for (int strength : {-1, 0, 4, 255}) {
        EXPECT_FALSE(TWinZipAesCipher::IsValidStrength(strength));
        EXPECT_THROW(TWinZipAesCipher::KeyLength(strength), EBadAesStrength);
        EXPECT_THROW(TWinZipAesCipher::SaltLength(strength), EBadAesStrength);
        EXPECT_THROW(TWinZipAesCipher(kPassword, strength, std::vector<std::uint8_t>(16)), EBadAesStrength);
    }
}

TEST(WinZipAesSizes, RefuseASaltOfTheWrongLength) {
    EXPECT_THROW(TWinZipAesCipher(kPassword, 1, std::vector<std::uint8_t>(16)), EBadAesStrength);
    EXPECT_THROW(TWinZipAesCipher(kPassword, 3, std::vector<std::uint8_t>(8)), EBadAesStrength);
    EXPECT_NO_THROW(TWinZipAesCipher(kPassword, 2, std::vector<std::uint8_t>(12)));
}

struct TAesFixture {
    std::string Zip;
    int Strength;
    int VendorVersion;
    std::string Password = kPassword;
};

class WinZipAesArchive : public ::testing::TestWithParam<TAesFixture> {};

TEST_P(WinZipAesArchive, OpensDecryptsAndAuthenticates) {
    const auto& c = GetParam();
    const TZipFixtureEntry entry = LoadSingleEntry(c.Zip);
    ASSERT_EQ(entry.Method, 99);
    ASSERT_EQ(entry.AesStrength, c.Strength);
    ASSERT_EQ(entry.AesVendorVersion, c.VendorVersion);
    TAesParts parts = SplitAesEntry(entry);

    TWinZipAesCipher cipher(c.Password, c.Strength, parts.Salt);
    ASSERT_TRUE(cipher.Verify(parts.Verifier));
    cipher.Decrypt(parts.Data.data(), parts.Data.size());
    EXPECT_TRUE(cipher.Authenticate(parts.Code));

    const std::vector<std::uint8_t> plain = Finish(entry, parts.Data);
    EXPECT_EQ(plain, ReadCryptoDataFile("plain.txt"));
    // AE-1 keeps the CRC; AE-2 stores 0 and relies on the authentication code.
    EXPECT_EQ(entry.Crc32, c.VendorVersion == 1 ? Crc32Of(plain) : 0u);
}

TEST_P(WinZipAesArchive, RefusesWrongPasswords) {
    const auto& c = GetParam();
    const TZipFixtureEntry entry = LoadSingleEntry(c.Zip);
    const TAesParts parts = SplitAesEntry(entry);
    for (const std::string& wrong : {std::string(), std::string("plovotarnis"), std::string("PlovoTarnis "),
                                     c.Password == kPassword ? kPassword128 : kPassword})
        EXPECT_FALSE(TWinZipAesCipher(wrong, c.Strength, parts.Salt).Verify(parts.Verifier))
            << "password '" << wrong << "'";
}

TEST_P(WinZipAesArchive, FailsAuthenticationWhenOneStoredByteChanged) {
    const auto& c = GetParam();
    const TZipFixtureEntry entry = LoadSingleEntry(c.Zip);
    const TAesParts parts = SplitAesEntry(entry);
    // One altered bit at the start, in the middle and at the end of the data.
    for (std::size_t at : {std::size_t{0}, parts.Data.size() / 2, parts.Data.size() - 1}) {
        std::vector<std::uint8_t> data = parts.Data;
        data[at] ^= 0x01;
        TWinZipAesCipher cipher(c.Password, c.Strength, parts.Salt);
        ASSERT_TRUE(cipher.Verify(parts.Verifier));
        cipher.Decrypt(data.data(), data.size());
        EXPECT_FALSE(cipher.Authenticate(parts.Code)) << "byte " << at;
    }
    // Intact data, altered code.
    std::array<std::uint8_t, TWinZipAesCipher::kAuthCodeSize> code;
    std::copy(parts.Code.begin(), parts.Code.end(), code.begin());
    code.back() ^= 0x80;
    std::vector<std::uint8_t> data = parts.Data;
    TWinZipAesCipher cipher(c.Password, c.Strength, parts.Salt);
    cipher.Decrypt(data.data(), data.size());
    EXPECT_FALSE(cipher.Authenticate(code));
    EXPECT_TRUE(cipher.Authenticate(parts.Code)); // the MAC is kept for a second comparison
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, WinZipAesArchive,
    ::testing::Values(TAesFixture{"aes128-stored.zip", 1, 2}, TAesFixture{"aes192-stored.zip", 2, 2},
                      TAesFixture{"aes256-stored.zip", 3, 2}, TAesFixture{"aes128-deflate.zip", 1, 2},
                      TAesFixture{"aes192-deflate.zip", 2, 2}, TAesFixture{"aes256-deflate.zip", 3, 2},
                      TAesFixture{"aes256-ae1-deflate.zip", 3, 1},
                      TAesFixture{"aes128-password128.zip", 1, 1, kPassword128}));

} // namespace

namespace {

// Runs of any length, carried across refills of the 32 KB keystream buffer.
class WinZipAesRuns : public ::testing::TestWithParam<std::size_t> {};

TEST_P(WinZipAesRuns, DecryptTheSameInRunsOfAnyLength) {
    const TZipFixtureEntry entry = LoadSingleEntry("aes256-stored-large.zip");
    TAesParts parts = SplitAesEntry(entry);
    ASSERT_GT(parts.Data.size(), 32768u + 16u);

    TWinZipAesCipher cipher(kPassword, 3, parts.Salt);
    ASSERT_TRUE(cipher.Verify(parts.Verifier));
    const std::size_t run = GetParam();
    for (std::size_t at = 0; at < parts.Data.size(); at += run)
        cipher.Decrypt(parts.Data.data() + at, std::min(run, parts.Data.size() - at));
    EXPECT_TRUE(cipher.Authenticate(parts.Code));
    EXPECT_EQ(parts.Data, ReadCryptoDataFile("large.bin"));
}

INSTANTIATE_TEST_SUITE_P(Lengths, WinZipAesRuns,
                         ::testing::Values(1, 3, 15, 16, 17, 1000, 4096, 32767, 32768, 32769, 65536, 1u << 20));

TEST(WinZipAesCipher, DecryptsRunsOfMixedLength) {
    // Uneven runs that start and end inside keystream blocks and batches.
    const TZipFixtureEntry entry = LoadSingleEntry("aes256-stored-large.zip");
    TAesParts parts = SplitAesEntry(entry);
    TWinZipAesCipher cipher(kPassword, 3, parts.Salt);
    std::size_t at = 0;
    for (std::size_t run : {0u, 5u, 11u, 32760u, 9u, 0u, 33u, 4000u}) {
        cipher.Decrypt(parts.Data.data() + at, run);
        at += run;
    }
    cipher.Decrypt(parts.Data.data() + at, parts.Data.size() - at);
    EXPECT_TRUE(cipher.Authenticate(parts.Code));
    EXPECT_EQ(parts.Data, ReadCryptoDataFile("large.bin"));
}

TEST(WinZipAesCipher, NeverVerifiesAPasswordLongerThan128Bytes) {
    // The archive was made with this 129-byte password: the derived verifier
    // matches the stored one, yet the cipher refuses it.
    const std::string password129 = kPassword128 + "x";
    const TZipFixtureEntry entry = LoadSingleEntry("aes128-password129.zip");
    const TAesParts parts = SplitAesEntry(entry);
    const std::vector<std::uint8_t> derived = DeriveKeyPbkdf2HmacSha1(password129, parts.Salt, 1000, 34);
    ASSERT_TRUE(std::equal(parts.Verifier.begin(), parts.Verifier.end(), derived.end() - 2));

    EXPECT_FALSE(TWinZipAesCipher(password129, 1, parts.Salt).Verify(parts.Verifier));
    EXPECT_FALSE(TWinZipAesCipher(kPassword128, 1, parts.Salt).Verify(parts.Verifier));
}

TEST(WinZipAesCipher, AuthenticationEndsTheEntry) {
    const TZipFixtureEntry entry = LoadSingleEntry("aes128-stored.zip");
    TAesParts parts = SplitAesEntry(entry);
    TWinZipAesCipher cipher(kPassword, 1, parts.Salt);
    cipher.Decrypt(parts.Data.data(), parts.Data.size());
    ASSERT_TRUE(cipher.Authenticate(parts.Code));
    EXPECT_THROW(cipher.Decrypt(parts.Data.data(), 1), ECryptoError);
}

} // namespace
