#include "UtilAllocationFaults.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> gAllocationsUntilFailure{-1};
std::atomic<bool> gAllocationFailed{false};
} // namespace

void FailAllocationAfter(long n) {
    gAllocationFailed = false;
    gAllocationsUntilFailure = n;
}

bool DisarmAllocationFailure() {
    gAllocationsUntilFailure = -1;
    return gAllocationFailed;
}

void* operator new(std::size_t size) {
    const long left = gAllocationsUntilFailure.load();
    if (left == 0) {
        gAllocationsUntilFailure = -1;
        gAllocationFailed = true;
        throw std::bad_alloc();
    }
    if (left > 0)
        gAllocationsUntilFailure = left - 1;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
