// OpenSSL libcrypto back end of the crypto primitives.
#include "archive/crypto/CryptoPrimitives.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <algorithm>
#include <climits>

namespace {

struct TCipherCtxDeleter {
    void operator()(EVP_CIPHER_CTX* ctx) const noexcept { EVP_CIPHER_CTX_free(ctx); }
};
struct TMacDeleter {
    void operator()(EVP_MAC* mac) const noexcept { EVP_MAC_free(mac); }
};
struct TMacCtxDeleter {
    void operator()(EVP_MAC_CTX* ctx) const noexcept { EVP_MAC_CTX_free(ctx); }
};

using TCipherCtx = std::unique_ptr<EVP_CIPHER_CTX, TCipherCtxDeleter>;
using TMac = std::unique_ptr<EVP_MAC, TMacDeleter>;
using TMacCtx = std::unique_ptr<EVP_MAC_CTX, TMacCtxDeleter>;

void Check(int result) {
    if (result != 1)
        throw ECryptoError();
}

// OpenSSL takes lengths as int; longer runs are handed over in pieces of this size.
constexpr std::size_t kMaxRun = 1u << 30;

const EVP_CIPHER* AesEcbCipher(std::size_t keyLength) {
    switch (keyLength) {
    case 16:
        return EVP_aes_128_ecb();
    case 24:
        return EVP_aes_192_ecb();
    case 32:
        return EVP_aes_256_ecb();
    default:
        throw ECryptoError();
    }
}

} // namespace

struct TAesEcbEncryptor::TImpl {
    TCipherCtx Ctx;
};

TAesEcbEncryptor::TAesEcbEncryptor(std::span<const std::uint8_t> key) : FImpl(std::make_unique<TImpl>()) {
    const EVP_CIPHER* cipher = AesEcbCipher(key.size());
    FImpl->Ctx.reset(EVP_CIPHER_CTX_new());
    if (!FImpl->Ctx)
        throw ECryptoError();
    Check(EVP_EncryptInit_ex(FImpl->Ctx.get(), cipher, nullptr, key.data(), nullptr));
    Check(EVP_CIPHER_CTX_set_padding(FImpl->Ctx.get(), 0));
}

TAesEcbEncryptor::~TAesEcbEncryptor() = default;

void TAesEcbEncryptor::EncryptBlocks(const std::uint8_t* input, std::uint8_t* output, std::size_t blockCount) {
    std::size_t remaining = blockCount * kBlockSize;
    while (remaining > 0) {
        const std::size_t run = std::min(remaining, kMaxRun);
        int written = 0;
        Check(EVP_EncryptUpdate(FImpl->Ctx.get(), output, &written, input, static_cast<int>(run)));
        if (static_cast<std::size_t>(written) != run)
            throw ECryptoError();
        input += run;
        output += run;
        remaining -= run;
    }
}

struct THmacSha1::TImpl {
    TMacCtx Ctx;
    bool Finished = false;
};

THmacSha1::THmacSha1(std::span<const std::uint8_t> key) : FImpl(std::make_unique<TImpl>()) {
    TMac mac(EVP_MAC_fetch(nullptr, OSSL_MAC_NAME_HMAC, nullptr));
    if (!mac)
        throw ECryptoError();
    FImpl->Ctx.reset(EVP_MAC_CTX_new(mac.get()));
    if (!FImpl->Ctx)
        throw ECryptoError();
    char digest[] = "SHA1";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                                 OSSL_PARAM_construct_end()};
    // A zero-length key still needs a valid pointer.
    static const std::uint8_t kNoKey = 0;
    Check(EVP_MAC_init(FImpl->Ctx.get(), key.empty() ? &kNoKey : key.data(), key.size(), params));
}

THmacSha1::~THmacSha1() = default;

void THmacSha1::Update(const std::uint8_t* data, std::size_t count) {
    if (FImpl->Finished)
        throw ECryptoError();
    if (count > 0)
        Check(EVP_MAC_update(FImpl->Ctx.get(), data, count));
}

std::vector<std::uint8_t> THmacSha1::Final() {
    if (FImpl->Finished)
        throw ECryptoError();
    FImpl->Finished = true;
    std::vector<std::uint8_t> digest(kDigestSize);
    std::size_t written = 0;
    Check(EVP_MAC_final(FImpl->Ctx.get(), digest.data(), &written, digest.size()));
    if (written != kDigestSize)
        throw ECryptoError();
    return digest;
}

std::vector<std::uint8_t> DeriveKeyPbkdf2HmacSha1(std::string_view password, std::span<const std::uint8_t> salt,
                                                  std::uint32_t iterations, std::size_t outputLength) {
    if (password.size() > INT_MAX || salt.size() > INT_MAX || outputLength > INT_MAX || iterations == 0 ||
        iterations > INT_MAX)
        throw ECryptoError();
    std::vector<std::uint8_t> output(outputLength);
    static const std::uint8_t kNoSalt = 0;
    Check(PKCS5_PBKDF2_HMAC(password.empty() ? "" : password.data(), static_cast<int>(password.size()),
                            salt.empty() ? &kNoSalt : salt.data(), static_cast<int>(salt.size()),
                            static_cast<int>(iterations), EVP_sha1(), static_cast<int>(outputLength), output.data()));
    return output;
}
