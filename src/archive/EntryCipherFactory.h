#pragma once
// The encryption-header check of one entry: given the password and the header
// bytes as stored (12 bytes for the traditional scheme; salt and 2-byte
// verification value for AES), answers the cipher ready for the entry's data,
// or nullptr when the password does not open the entry.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "EntryCipher.h"
#include "ZipHeaderInfo.h"

// Header length of an encrypted entry as stored before its data.
std::size_t EncryptionHeaderLength(const TZipHeaderInfo& entry);

// Length of the AES authentication code that follows an AES entry's data.
constexpr std::size_t kAesAuthenticationLength = 10;

std::unique_ptr<IEntryCipher> OpenEntryCipher(const TZipHeaderInfo& entry, const std::string& password,
                                              std::span<const std::uint8_t> header);

// For an AES entry after its data: true when the stored authentication code
// equals the one computed over the encrypted bytes the cipher has seen.
bool AuthenticateEntry(IEntryCipher& cipher, std::span<const std::uint8_t> storedCode);
