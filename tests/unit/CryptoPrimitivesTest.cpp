// Known-answer tests of the platform crypto primitives: the same published
// vectors pass with OpenSSL natively and with CNG under Windows.
#include "archive/crypto/CryptoPrimitives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Hex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> Repeat(std::uint8_t byte, std::size_t count) {
    return std::vector<std::uint8_t>(count, byte);
}

// FIPS-197 appendix C (all three key sizes) and appendix B.
struct TAesCase {
    std::string Key;
    std::string Plain;
    std::string Cipher;
};

class AesEcbVectors : public ::testing::TestWithParam<TAesCase> {};

TEST_P(AesEcbVectors, EncryptsTheBlock) {
    const auto& c = GetParam();
    TAesEcbEncryptor aes(Hex(c.Key));
    std::vector<std::uint8_t> block = Hex(c.Plain);
    std::vector<std::uint8_t> out(16);
    aes.EncryptBlocks(block.data(), out.data(), 1);
    EXPECT_EQ(out, Hex(c.Cipher));
    // In place gives the same.
    aes.EncryptBlocks(block.data(), block.data(), 1);
    EXPECT_EQ(block, Hex(c.Cipher));
}

INSTANTIATE_TEST_SUITE_P(
    Fips197, AesEcbVectors,
    ::testing::Values(TAesCase{"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
                               "69c4e0d86a7b0430d8cdb78070b4c55a"},
                      TAesCase{"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
                               "dda97ca4864cdfe06eaf70a0ec0d7191"},
                      TAesCase{"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
                               "00112233445566778899aabbccddeeff", "8ea2b7ca516745bfeafc49904b496089"},
                      TAesCase{"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
                               "3925841d02dc09fbdc118597196a0b32"}));

TEST(AesEcb, EncryptsEachBlockOfARunOnItsOwn) {
    // ECB: equal plain blocks give equal cipher blocks, wherever they sit in the run.
    TAesEcbEncryptor aes(Hex("000102030405060708090a0b0c0d0e0f"));
    const std::vector<std::uint8_t> a = Hex("00112233445566778899aabbccddeeff");
    const std::vector<std::uint8_t> b = Hex("3243f6a8885a308d313198a2e0370734");
    std::vector<std::uint8_t> run;
    for (int i = 0; i < 600; ++i)
        run.insert(run.end(), (i % 3 == 1 ? b : a).begin(), (i % 3 == 1 ? b : a).end());
    aes.EncryptBlocks(run.data(), run.data(), run.size() / 16);

    std::vector<std::uint8_t> encA(16), encB(16);
    aes.EncryptBlocks(a.data(), encA.data(), 1);
    aes.EncryptBlocks(b.data(), encB.data(), 1);
    EXPECT_EQ(encA, Hex("69c4e0d86a7b0430d8cdb78070b4c55a"));
    for (int i = 0; i < 600; ++i) {
        const std::vector<std::uint8_t> got(run.begin() + i * 16, run.begin() + i * 16 + 16);
        ASSERT_EQ(got, i % 3 == 1 ? encB : encA) << "block " << i;
    }
}

TEST(AesEcb, RefusesKeysOfOtherSizes) {
    for (std::size_t size : {0u, 15u, 17u, 20u, 31u, 33u, 64u})
        EXPECT_THROW(TAesEcbEncryptor(Repeat(1, size)), ECryptoError) << size;
}

// RFC 2202, HMAC-SHA1 test cases 1 to 7.
struct THmacCase {
    std::vector<std::uint8_t> Key;
    std::vector<std::uint8_t> Data;
    std::string Digest;
};

class HmacSha1Vectors : public ::testing::TestWithParam<THmacCase> {};

TEST_P(HmacSha1Vectors, GivesThePublishedDigest) {
    const auto& c = GetParam();
    THmacSha1 whole(c.Key);
    whole.Update(c.Data.data(), c.Data.size());
    EXPECT_EQ(whole.Final(), Hex(c.Digest));

    // The same data given in uneven runs, with an empty run among them.
    THmacSha1 pieces(c.Key);
    std::size_t at = 0;
    for (std::size_t run : {1u, 0u, 7u, 13u}) {
        run = std::min(run, c.Data.size() - at);
        pieces.Update(c.Data.data() + at, run);
        at += run;
    }
    pieces.Update(c.Data.data() + at, c.Data.size() - at);
    EXPECT_EQ(pieces.Final(), Hex(c.Digest));
}

INSTANTIATE_TEST_SUITE_P(
    Rfc2202, HmacSha1Vectors,
    ::testing::Values(
        THmacCase{Repeat(0x0b, 20), Bytes("Hi There"), "b617318655057264e28bc0b6fb378c8ef146be00"},
        THmacCase{Bytes("Jefe"), Bytes("what do ya want for nothing?"), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
        THmacCase{Repeat(0xaa, 20), Repeat(0xdd, 50), "125d7342b9ac11cd91a39af48aa17b4f63f175d3"},
        THmacCase{Hex("0102030405060708090a0b0c0d0e0f10111213141516171819"), Repeat(0xcd, 50),
                  "4c9007f4026250c6bc8414f9bf50c86c2d7235da"},
        THmacCase{Repeat(0x0c, 20), Bytes("Test With Truncation"), "4c1a03424b55e07fe7f27be1d58bb9324a9a5a04"},
        THmacCase{Repeat(0xaa, 80), Bytes("Test Using Larger Than Block-Size Key - Hash Key First"),
                  "aa4ae5e15272d00e95705637ce8a3b55ed402112"},
        THmacCase{Repeat(0xaa, 80), Bytes("Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data"),
                  "e8e99d0f45237d786d6bbaa7965c7808bbff1a91"}));

TEST(HmacSha1, EndsWithFinal) {
    THmacSha1 mac(Bytes("Jefe"));
    const std::vector<std::uint8_t> data = Bytes("what do ya want for nothing?");
    mac.Update(data.data(), data.size());
    mac.Final();
    EXPECT_THROW(mac.Update(data.data(), 1), ECryptoError);
    EXPECT_THROW(mac.Final(), ECryptoError);
}

// RFC 6070 (all but the 16777216-iteration case), and an empty password.
struct TPbkdf2Case {
    std::string Password;
    std::string Salt;
    std::uint32_t Iterations;
    std::string Derived;
};

class Pbkdf2Vectors : public ::testing::TestWithParam<TPbkdf2Case> {};

TEST_P(Pbkdf2Vectors, DerivesThePublishedKey) {
    const auto& c = GetParam();
    const std::vector<std::uint8_t> derived = Hex(c.Derived);
    EXPECT_EQ(DeriveKeyPbkdf2HmacSha1(c.Password, Bytes(c.Salt), c.Iterations, derived.size()), derived);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Rfc6070, Pbkdf2Vectors,
    ::testing::Values(TPbkdf2Case{"password", "salt", 1, "0c60c80f961f0e71f3a9b524af6012062fe037a6"},
                      TPbkdf2Case{"password", "salt", 2, "ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957"},
                      TPbkdf2Case{"password", "salt", 4096, "4b007901b765489abead49d926f721d065a429c1"},
                      TPbkdf2Case{"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096,
                                  "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038"},
                      TPbkdf2Case{"pass\0word"s, "sa\0lt"s, 4096, "56fa6aa75548099dcc37d7f03425e0c3"},
                      // An empty password is a valid input: the AES check runs with it.
                      TPbkdf2Case{"", "salt", 2, "133a4ce837b4d2521ee2bf03e11c71ca794e0797"}));

} // namespace
