#include "EntryCipherFactory.h"

#include "archive/crypto/TraditionalCipher.h"
#include "archive/crypto/WinZipAesCipher.h"

std::size_t EncryptionHeaderLength(const TZipHeaderInfo& entry) {
    if (entry.IsAes())
        return TWinZipAesCipher::SaltLength(entry.EncryptionStrength) + TWinZipAesCipher::kVerifierSize;
    return TTraditionalCipher::kHeaderSize;
}

namespace {

std::unique_ptr<IEntryCipher> OpenAesCipher(const TZipHeaderInfo& entry, const std::string& password,
                                            std::span<const std::uint8_t> header) {
    const std::size_t saltLength = TWinZipAesCipher::SaltLength(entry.EncryptionStrength);
    if (header.size() != saltLength + TWinZipAesCipher::kVerifierSize)
        return nullptr;
    auto cipher = std::make_unique<TWinZipAesCipher>(password, entry.EncryptionStrength, header.first(saltLength));
    if (!cipher->Verify(header.subspan(saltLength).first<TWinZipAesCipher::kVerifierSize>()))
        return nullptr;
    return cipher;
}

std::unique_ptr<IEntryCipher> OpenTraditionalCipher(const TZipHeaderInfo& entry, const std::string& password,
                                                    std::span<const std::uint8_t> header) {
    if (header.size() != TTraditionalCipher::kHeaderSize)
        return nullptr;
    // The modification time is the low word of the entry's DOS date-time.
    const std::uint8_t checkByte =
        TTraditionalCipher::CheckByte(entry.Flags, static_cast<std::uint16_t>(entry.DateTime & 0xFFFF), entry.Crc32);
    auto cipher = std::make_unique<TTraditionalCipher>(password);
    if (!cipher->CheckHeader(header.first<TTraditionalCipher::kHeaderSize>(), checkByte))
        return nullptr;
    return cipher;
}

} // namespace

std::unique_ptr<IEntryCipher> OpenEntryCipher(const TZipHeaderInfo& entry, const std::string& password,
                                              std::span<const std::uint8_t> header) {
    return entry.IsAes() ? OpenAesCipher(entry, password, header) : OpenTraditionalCipher(entry, password, header);
}

bool AuthenticateEntry(IEntryCipher& cipher, std::span<const std::uint8_t> storedCode) {
    auto* aes = dynamic_cast<TWinZipAesCipher*>(&cipher);
    if (!aes || storedCode.size() != TWinZipAesCipher::kAuthCodeSize)
        return false;
    return aes->Authenticate(storedCode.first<TWinZipAesCipher::kAuthCodeSize>());
}
