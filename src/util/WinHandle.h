#pragma once
// Ownership of Win32 handles and COM references: one uncopyable, movable
// holder with a trait per release call, and a small COM pointer.
#include <windows.h>

#include <utility>

template <typename Traits> class THandle {
public:
    using HandleType = typename Traits::HandleType;

    THandle() noexcept = default;
    explicit THandle(HandleType h) noexcept : FHandle(h) {}
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    THandle(THandle&& other) noexcept : FHandle(other.Release()) {}
    THandle& operator=(THandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~THandle() { Reset(); }

    HandleType Get() const noexcept { return FHandle; }
    bool IsValid() const noexcept { return FHandle != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    HandleType Release() noexcept { return std::exchange(FHandle, Traits::Invalid()); }
    void Reset(HandleType h = Traits::Invalid()) noexcept {
        if (IsValid())
            Traits::Close(FHandle);
        FHandle = h;
    }

private:
    HandleType FHandle = Traits::Invalid();
};

struct TKernelHandleTraits { // CreateFile, CreateToolhelp32Snapshot: invalid is INVALID_HANDLE_VALUE
    using HandleType = HANDLE;
    static HandleType Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HandleType h) noexcept { CloseHandle(h); }
};
struct TObjectHandleTraits { // OpenProcess, CreateThread, CreateEvent: invalid is null
    using HandleType = HANDLE;
    static HandleType Invalid() noexcept { return nullptr; }
    static void Close(HandleType h) noexcept { CloseHandle(h); }
};
struct TFindHandleTraits {
    using HandleType = HANDLE;
    static HandleType Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HandleType h) noexcept { FindClose(h); }
};
struct TRegKeyTraits {
    using HandleType = HKEY;
    static HandleType Invalid() noexcept { return nullptr; }
    static void Close(HandleType h) noexcept { RegCloseKey(h); }
};
struct TGdiObjectTraits {
    using HandleType = HGDIOBJ;
    static HandleType Invalid() noexcept { return nullptr; }
    static void Close(HandleType h) noexcept { DeleteObject(h); }
};
struct TMemoryDCTraits { // CreateCompatibleDC: released with DeleteDC
    using HandleType = HDC;
    static HandleType Invalid() noexcept { return nullptr; }
    static void Close(HandleType h) noexcept { DeleteDC(h); }
};
struct TModuleTraits {
    using HandleType = HMODULE;
    static HandleType Invalid() noexcept { return nullptr; }
    static void Close(HandleType h) noexcept { FreeLibrary(h); }
};

using TFileHandle = THandle<TKernelHandleTraits>;
using TObjectHandle = THandle<TObjectHandleTraits>;
using TFindHandle = THandle<TFindHandleTraits>;
using TRegKey = THandle<TRegKeyTraits>;
using TGdiObject = THandle<TGdiObjectTraits>;
using TMemoryDC = THandle<TMemoryDCTraits>;
using TModule = THandle<TModuleTraits>;

// A GetDC result, released with ReleaseDC and the window it came from.
class TWindowDC {
public:
    explicit TWindowDC(HWND hwnd) noexcept : FWnd(hwnd), FDC(GetDC(hwnd)) {}
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    ~TWindowDC() {
        if (FDC)
            ReleaseDC(FWnd, FDC);
    }
    HDC Get() const noexcept { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
};

// A COM interface reference: AddRef on copy, Release on destruction.
template <typename T> class TComPtr {
public:
    TComPtr() noexcept = default;
    TComPtr(const TComPtr& other) noexcept : FPtr(other.FPtr) {
        if (FPtr)
            FPtr->AddRef();
    }
    TComPtr(TComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    TComPtr& operator=(TComPtr other) noexcept {
        std::swap(FPtr, other.FPtr);
        return *this;
    }
    ~TComPtr() { Reset(); }

    T* Get() const noexcept { return FPtr; }
    T* operator->() const noexcept { return FPtr; }
    explicit operator bool() const noexcept { return FPtr != nullptr; }
    // For out-parameters: releases the current reference first.
    T** Put() noexcept {
        Reset();
        return &FPtr;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
    void Reset() noexcept {
        if (FPtr)
            std::exchange(FPtr, nullptr)->Release();
    }
    template <typename U> HRESULT As(TComPtr<U>& target) const noexcept {
        return FPtr->QueryInterface(__uuidof(U), target.PutVoid());
    }

private:
    T* FPtr = nullptr;
};
