// CNG (bcrypt.dll) back end of the crypto primitives.
#include "archive/crypto/CryptoPrimitives.h"

#include "util/SystemLibrary.h"
#include "util/WinHandle.h"

#include <bcrypt.h>

#include <algorithm>
#include <climits>

namespace {

// bcrypt is not imported: it is loaded from the system folder on first use and
// stays loaded. A missing DLL or function fails the operation like any CNG error.
struct TCngFunctions {
    TSystemLibrary Library{"bcrypt.dll"};
    decltype(&BCryptOpenAlgorithmProvider) OpenAlgorithmProvider =
        Library.Function<decltype(&BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider");
    decltype(&BCryptCloseAlgorithmProvider) CloseAlgorithmProvider =
        Library.Function<decltype(&BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider");
    decltype(&BCryptSetProperty) SetProperty = Library.Function<decltype(&BCryptSetProperty)>("BCryptSetProperty");
    decltype(&BCryptGenerateSymmetricKey) GenerateSymmetricKey =
        Library.Function<decltype(&BCryptGenerateSymmetricKey)>("BCryptGenerateSymmetricKey");
    decltype(&BCryptDestroyKey) DestroyKey = Library.Function<decltype(&BCryptDestroyKey)>("BCryptDestroyKey");
    decltype(&BCryptEncrypt) Encrypt = Library.Function<decltype(&BCryptEncrypt)>("BCryptEncrypt");
    decltype(&BCryptCreateHash) CreateHash = Library.Function<decltype(&BCryptCreateHash)>("BCryptCreateHash");
    decltype(&BCryptHashData) HashData = Library.Function<decltype(&BCryptHashData)>("BCryptHashData");
    decltype(&BCryptFinishHash) FinishHash = Library.Function<decltype(&BCryptFinishHash)>("BCryptFinishHash");
    decltype(&BCryptDestroyHash) DestroyHash = Library.Function<decltype(&BCryptDestroyHash)>("BCryptDestroyHash");
    decltype(&BCryptDeriveKeyPBKDF2) DeriveKeyPBKDF2 =
        Library.Function<decltype(&BCryptDeriveKeyPBKDF2)>("BCryptDeriveKeyPBKDF2");
};

const TCngFunctions& Cng() {
    try {
        static const TCngFunctions functions;
        return functions;
    } catch (const ESystemLibraryError&) {
        throw ECryptoError();
    }
}

// A CNG handle exists only once Cng() has succeeded, so releasing one cannot raise.
struct TAlgProviderTraits {
    using HandleType = BCRYPT_ALG_HANDLE;
    static HandleType Invalid() noexcept { return nullptr; }
    static void Close(HandleType h) noexcept { Cng().CloseAlgorithmProvider(h, 0); }
};
struct TCngKeyTraits {
    using HandleType = BCRYPT_KEY_HANDLE;
    static HandleType Invalid() noexcept { return nullptr; }
    static void Close(HandleType h) noexcept { Cng().DestroyKey(h); }
};
struct TCngHashTraits {
    using HandleType = BCRYPT_HASH_HANDLE;
    static HandleType Invalid() noexcept { return nullptr; }
    static void Close(HandleType h) noexcept { Cng().DestroyHash(h); }
};

using TAlgProvider = THandle<TAlgProviderTraits>;
using TCngKey = THandle<TCngKeyTraits>;
using TCngHash = THandle<TCngHashTraits>;

void Check(NTSTATUS status) {
    if (!BCRYPT_SUCCESS(status))
        throw ECryptoError();
}

// CNG takes lengths as ULONG; longer runs are handed over in pieces of this size.
constexpr std::size_t kMaxRun = 1u << 30;

TAlgProvider OpenProvider(LPCWSTR algorithm, ULONG flags) {
    BCRYPT_ALG_HANDLE handle = nullptr;
    Check(Cng().OpenAlgorithmProvider(&handle, algorithm, nullptr, flags));
    return TAlgProvider(handle);
}

// CNG reads key, salt and password bytes through non-const pointers without writing them.
// An empty run may come with a null pointer; CNG gets a valid one in any case.
PUCHAR Bytes(const void* data) {
    static UCHAR noBytes = 0;
    return data ? static_cast<PUCHAR>(const_cast<void*>(data)) : &noBytes;
}

} // namespace

struct TAesEcbEncryptor::TImpl {
    TAlgProvider Provider; // must outlive the key made from it
    TCngKey Key;
};

TAesEcbEncryptor::TAesEcbEncryptor(std::span<const std::uint8_t> key) : FImpl(std::make_unique<TImpl>()) {
    if (key.size() != 16 && key.size() != 24 && key.size() != 32)
        throw ECryptoError();
    FImpl->Provider = OpenProvider(BCRYPT_AES_ALGORITHM, 0);
    Check(Cng().SetProperty(FImpl->Provider.Get(), BCRYPT_CHAINING_MODE, Bytes(BCRYPT_CHAIN_MODE_ECB),
                            sizeof(BCRYPT_CHAIN_MODE_ECB), 0));
    BCRYPT_KEY_HANDLE handle = nullptr;
    Check(Cng().GenerateSymmetricKey(FImpl->Provider.Get(), &handle, nullptr, 0, Bytes(key.data()),
                                     static_cast<ULONG>(key.size()), 0));
    FImpl->Key.Reset(handle);
}

TAesEcbEncryptor::~TAesEcbEncryptor() = default;

void TAesEcbEncryptor::EncryptBlocks(const std::uint8_t* input, std::uint8_t* output, std::size_t blockCount) {
    std::size_t remaining = blockCount * kBlockSize;
    while (remaining > 0) {
        const std::size_t run = std::min(remaining, kMaxRun);
        ULONG written = 0;
        Check(Cng().Encrypt(FImpl->Key.Get(), Bytes(input), static_cast<ULONG>(run), nullptr, nullptr, 0, output,
                            static_cast<ULONG>(run), &written, 0));
        if (written != run)
            throw ECryptoError();
        input += run;
        output += run;
        remaining -= run;
    }
}

struct THmacSha1::TImpl {
    TAlgProvider Provider; // must outlive the hash made from it
    TCngHash Hash;
    bool Finished = false;
};

THmacSha1::THmacSha1(std::span<const std::uint8_t> key) : FImpl(std::make_unique<TImpl>()) {
    if (key.size() > ULONG_MAX)
        throw ECryptoError();
    FImpl->Provider = OpenProvider(BCRYPT_SHA1_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    BCRYPT_HASH_HANDLE handle = nullptr;
    Check(Cng().CreateHash(FImpl->Provider.Get(), &handle, nullptr, 0, Bytes(key.data()),
                           static_cast<ULONG>(key.size()), 0));
    FImpl->Hash.Reset(handle);
}

THmacSha1::~THmacSha1() = default;

void THmacSha1::Update(const std::uint8_t* data, std::size_t count) {
    if (FImpl->Finished)
        throw ECryptoError();
    while (count > 0) {
        const std::size_t run = std::min(count, kMaxRun);
        Check(Cng().HashData(FImpl->Hash.Get(), Bytes(data), static_cast<ULONG>(run), 0));
        data += run;
        count -= run;
    }
}

std::vector<std::uint8_t> THmacSha1::Final() {
    if (FImpl->Finished)
        throw ECryptoError();
    FImpl->Finished = true;
    std::vector<std::uint8_t> digest(kDigestSize);
    Check(Cng().FinishHash(FImpl->Hash.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0));
    return digest;
}

std::vector<std::uint8_t> DeriveKeyPbkdf2HmacSha1(std::string_view password, std::span<const std::uint8_t> salt,
                                                  std::uint32_t iterations, std::size_t outputLength) {
    if (password.size() > ULONG_MAX || salt.size() > ULONG_MAX || outputLength > ULONG_MAX || iterations == 0)
        throw ECryptoError();
    TAlgProvider provider = OpenProvider(BCRYPT_SHA1_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    std::vector<std::uint8_t> output(outputLength);
    Check(Cng().DeriveKeyPBKDF2(provider.Get(), Bytes(password.data()), static_cast<ULONG>(password.size()),
                                Bytes(salt.data()), static_cast<ULONG>(salt.size()), iterations, output.data(),
                                static_cast<ULONG>(output.size()), 0));
    return output;
}
