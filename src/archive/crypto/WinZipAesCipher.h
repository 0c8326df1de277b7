#pragma once
// WinZip AES entry encryption (AE-1 and AE-2): AES in counter mode with a
// little-endian counter, HMAC-SHA1 over the encrypted bytes, and keys derived
// from the password and a per-entry salt with PBKDF2-HMAC-SHA1.
//
// Stored layout of an entry: salt, 2-byte password verifier, encrypted data,
// 10-byte authentication code.
//
// Call order for one entry: construct with password, strength and the salt;
// Verify with the 2 stored verifier bytes (stop when it fails); Decrypt the
// data in stored order, in runs of any length; after the last data byte,
// Authenticate with the 10 stored code bytes. A new password needs a new cipher.
#include "archive/crypto/CryptoPrimitives.h"
#include "archive/EntryCipher.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The encryption strength of the entry's AES extra field is not 1, 2 or 3.
class EBadAesStrength : public EUnZipException {
public:
    EBadAesStrength() : EUnZipException("Unsupported AES encryption strength") {}
};

class TWinZipAesCipher final : public IEntryCipher {
public:
    static constexpr std::size_t kVerifierSize = 2;
    static constexpr std::size_t kAuthCodeSize = 10;
    // Passwords longer than this never open an AES entry.
    static constexpr std::size_t kMaxPasswordLength = 128;
    static constexpr std::uint32_t kIterations = 1000;

    static bool IsValidStrength(int strength) noexcept { return strength >= 1 && strength <= 3; }
    // Strength 1, 2, 3: AES key of 16, 24, 32 bytes, salt of 8, 12, 16 bytes.
    // Both raise EBadAesStrength for any other strength.
    static std::size_t KeyLength(int strength);
    static std::size_t SaltLength(int strength);

    // Derives the keys; salt must be SaltLength(strength) bytes (EBadAesStrength otherwise).
    TWinZipAesCipher(std::string_view password, int strength, std::span<const std::uint8_t> salt);

    // True when the stored verifier matches the derived one and the password is
    // within the length limit.
    bool Verify(std::span<const std::uint8_t, kVerifierSize> storedVerifier) const;

    // Adds the encrypted bytes to the MAC, then decrypts them in place.
    void Decrypt(std::uint8_t* data, std::size_t count) override;

    // Compares the stored code with the first 10 bytes of the MAC over all
    // bytes given to Decrypt. Ends the MAC: Decrypt may not follow.
    bool Authenticate(std::span<const std::uint8_t, kAuthCodeSize> storedCode);

private:
    TWinZipAesCipher(std::size_t keyLength, bool passwordUsable, const std::vector<std::uint8_t>& derived);
    static std::vector<std::uint8_t> DeriveKeys(std::string_view password, int strength,
                                                std::span<const std::uint8_t> salt);
    void RefillKeystream();

    // Keystream made per refill: 2048 counter blocks, 32 KB, in one platform call.
    static constexpr std::size_t kKeystreamBlocks = 2048;

    const bool FPasswordUsable;
    std::array<std::uint8_t, kVerifierSize> FVerifier{};
    TAesEcbEncryptor FAes;
    THmacSha1 FHmac;
    std::uint64_t FCounter = 0;                    // number of the last keystream block made
    std::vector<std::uint8_t> FKeystream;          // empty until the first Decrypt
    std::size_t FKeystreamPos = 0;                 // next unused byte; FKeystream.size() when used up
    std::optional<std::vector<std::uint8_t>> FMac; // set by the first Authenticate
};
