#pragma once
// The published primitives the ZIP ciphers are built from: AES block
// encryption (ECB, used to make a counter-mode keystream), HMAC-SHA1 and
// PBKDF2-HMAC-SHA1. The platform supplies them: CNG (bcrypt.dll) in the
// Windows builds, OpenSSL libcrypto elsewhere. Nothing here is hand-written.
#include "archive/UnZipErrors.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

// A platform crypto call failed (provider missing, out of memory, bad key size).
class ECryptoError : public EUnZipException {
public:
    ECryptoError() : EUnZipException("Crypto provider error") {}
};

// AES encryption of whole 16-byte blocks, each block on its own (ECB).
// The key is 16, 24 or 32 bytes (AES-128, AES-192, AES-256).
class TAesEcbEncryptor {
public:
    static constexpr std::size_t kBlockSize = 16;

    explicit TAesEcbEncryptor(std::span<const std::uint8_t> key);
    ~TAesEcbEncryptor();
    TAesEcbEncryptor(const TAesEcbEncryptor&) = delete;
    TAesEcbEncryptor& operator=(const TAesEcbEncryptor&) = delete;

    // Encrypts blockCount blocks from input into output (they may be the same buffer).
    void EncryptBlocks(const std::uint8_t* input, std::uint8_t* output, std::size_t blockCount);

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

// HMAC-SHA1 over data given in any number of runs. Final ends the computation.
class THmacSha1 {
public:
    static constexpr std::size_t kDigestSize = 20;

    explicit THmacSha1(std::span<const std::uint8_t> key);
    ~THmacSha1();
    THmacSha1(const THmacSha1&) = delete;
    THmacSha1& operator=(const THmacSha1&) = delete;

    void Update(const std::uint8_t* data, std::size_t count);
    // The MAC of everything given to Update. Callable once; Update after it raises ECryptoError.
    std::vector<std::uint8_t> Final();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

// PBKDF2 with HMAC-SHA1 as the pseudo-random function: outputLength bytes.
std::vector<std::uint8_t> DeriveKeyPbkdf2HmacSha1(std::string_view password, std::span<const std::uint8_t> salt,
                                                  std::uint32_t iterations, std::size_t outputLength);
