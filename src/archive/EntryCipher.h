#pragma once
// Decryption of one entry's stored bytes. A cipher object is set up by the
// password check of an encrypted entry and lives until that entry's data ends;
// Decrypt works in place and carries its state from one call to the next.
#include <cstddef>
#include <cstdint>

class IEntryCipher {
public:
    virtual ~IEntryCipher() = default;
    virtual void Decrypt(std::uint8_t* data, std::size_t count) = 0;
};
