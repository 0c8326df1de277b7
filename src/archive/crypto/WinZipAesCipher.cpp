#include "archive/crypto/WinZipAesCipher.h"

#include <algorithm>

std::size_t TWinZipAesCipher::KeyLength(int strength) {
    if (!IsValidStrength(strength))
        throw EBadAesStrength();
    return 8 + 8 * static_cast<std::size_t>(strength);
}

std::size_t TWinZipAesCipher::SaltLength(int strength) {
    return KeyLength(strength) / 2;
}

std::vector<std::uint8_t> TWinZipAesCipher::DeriveKeys(std::string_view password, int strength,
                                                       std::span<const std::uint8_t> salt) {
    if (salt.size() != SaltLength(strength))
        throw EBadAesStrength();
    // AES key, then HMAC key, then the 2-byte password verifier.
    return DeriveKeyPbkdf2HmacSha1(password, salt, kIterations, 2 * KeyLength(strength) + kVerifierSize);
}

TWinZipAesCipher::TWinZipAesCipher(std::string_view password, int strength, std::span<const std::uint8_t> salt)
    : TWinZipAesCipher(KeyLength(strength), password.size() <= kMaxPasswordLength,
                       DeriveKeys(password, strength, salt)) {}

TWinZipAesCipher::TWinZipAesCipher(std::size_t keyLength, bool passwordUsable, const std::vector<std::uint8_t>& derived)
    : FPasswordUsable(passwordUsable), FAes(std::span(derived).first(keyLength)),
      FHmac(std::span(derived).subspan(keyLength, keyLength)) {
    std::copy_n(derived.begin() + 2 * keyLength, kVerifierSize, FVerifier.begin());
}

bool TWinZipAesCipher::Verify(std::span<const std::uint8_t, kVerifierSize> storedVerifier) const {
    return FPasswordUsable && std::equal(storedVerifier.begin(), storedVerifier.end(), FVerifier.begin());
}

void TWinZipAesCipher::Decrypt(std::uint8_t* data, std::size_t count) {
    // The MAC covers the bytes as stored, so it sees them before they are decrypted.
    FHmac.Update(data, count);
    while (count > 0) {
        if (FKeystreamPos == FKeystream.size())
            RefillKeystream();
        const std::size_t run = std::min(count, FKeystream.size() - FKeystreamPos);
        const std::uint8_t* key = FKeystream.data() + FKeystreamPos;
        for (std::size_t i = 0; i < run; ++i)
            data[i] ^= key[i];
        data += run;
        count -= run;
        FKeystreamPos += run;
    }
}

void TWinZipAesCipher::RefillKeystream() {
    constexpr std::size_t kBlock = TAesEcbEncryptor::kBlockSize;
    // Counter block: a little-endian 64-bit block number in the first 8 bytes,
    // zeros after it; the first keystream block is number 1. A whole batch is
    // made at once, so short runs cost no extra platform calls.
    FKeystream.assign(kKeystreamBlocks * kBlock, 0);
    for (std::size_t b = 0; b < kKeystreamBlocks; ++b) {
        ++FCounter;
        std::uint8_t* block = FKeystream.data() + b * kBlock;
        for (int i = 0; i < 8; ++i)
            block[i] = static_cast<std::uint8_t>(FCounter >> (8 * i));
    }
    FAes.EncryptBlocks(FKeystream.data(), FKeystream.data(), kKeystreamBlocks);
    FKeystreamPos = 0;
}

bool TWinZipAesCipher::Authenticate(std::span<const std::uint8_t, kAuthCodeSize> storedCode) {
    if (!FMac)
        FMac = FHmac.Final();
    return std::equal(storedCode.begin(), storedCode.end(), FMac->begin());
}
