#include "Thread.h"

#include <utility>

namespace {

constexpr UINT kSyncMessage = WM_APP + 1;
constexpr char kSyncWindowClass[] = "TavrinThreadSyncWindow";

} // namespace

// A GUI-thread call on its way: it lives on the worker's stack, so the worker
// can pick up the outcome even when the call destroyed the thread object.
struct TThread::TSyncRequest {
    const std::function<void()>* Method = nullptr;
    std::exception_ptr Error;
    TObjectHandle Done{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

// A message-only window of the GUI thread: a message posted to it wakes the GUI
// thread, and dispatching it runs the queued call. Message boxes and every other
// message loop of the GUI thread dispatch it too.
class TThread::TSyncWindow {
public:
    explicit TSyncWindow(TThread* owner) {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSEXA wc{};
        if (!GetClassInfoExA(instance, kSyncWindowClass, &wc)) {
            wc = {};
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = WndProc;
            wc.hInstance = instance;
            wc.lpszClassName = kSyncWindowClass;
            RegisterClassExA(&wc);
        }
        FWnd = CreateWindowExA(0, kSyncWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
        if (!FWnd)
            throw EThread();
        SetWindowLongPtrA(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        FOwnerThreadId = GetCurrentThreadId();
    }
    TSyncWindow(const TSyncWindow&) = delete;
    TSyncWindow& operator=(const TSyncWindow&) = delete;
    ~TSyncWindow() {
        SetWindowLongPtrA(FWnd, GWLP_USERDATA, 0);
        // A window can only be destroyed by its own thread; a thread that frees
        // itself asks the GUI thread to do it.
        if (GetCurrentThreadId() == FOwnerThreadId)
            DestroyWindow(FWnd);
        else
            PostMessageA(FWnd, WM_CLOSE, 0, 0);
    }

    void Wake() const { PostMessageA(FWnd, kSyncMessage, 0, 0); }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == kSyncMessage) {
            if (auto* thread = reinterpret_cast<TThread*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)))
                thread->CheckSynchronize();
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    HWND FWnd = nullptr;
    DWORD FOwnerThreadId = 0;
};

TThread::TThread(bool createSuspended)
    : FCreateSuspended(createSuspended), FGuiThreadId(GetCurrentThreadId()),
      FSyncWindow(std::make_unique<TSyncWindow>(this)), FSyncPending(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    if (!FSyncPending)
        throw EThread();
    // Always created suspended: AfterConstruction starts it once the derived
    // constructor is done.
    FHandle.Reset(CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &FThreadId));
    if (!FHandle)
        throw EThread();
}

TThread::~TThread() {
    BeforeDestruction();
}

void TThread::BeforeDestruction() {
    const bool onOwnThread = GetCurrentThreadId() == FThreadId;
    // Once the end-of-run handler has begun, the worker is blocked until it
    // returns and touches nothing afterwards, so there is nothing to wait for.
    if (!onOwnThread && !FEndOfRunEntered) {
        Terminate();
        Start();
        WaitFor();
    }
}

void TThread::AfterConstruction() {
    if (!FCreateSuspended)
        Start();
}

void TThread::Start() {
    if (!FStarted.exchange(true))
        ResumeThread(FHandle.Get());
}

void TThread::FreeOnTerminate(std::unique_ptr<TThread> thread) {
    if (!thread)
        return;
    std::lock_guard<std::mutex> lock(thread->FLock);
    if (!thread->FSelfDecided)
        thread->FSelf = std::move(thread);
    // Otherwise the worker is past the point where it would free itself, and the
    // object goes when `thread` leaves scope (after the lock is released).
}

void TThread::WaitFor() {
    if (GetCurrentThreadId() != FGuiThreadId) {
        WaitForSingleObject(FHandle.Get(), INFINITE);
        return;
    }
    const HANDLE handles[] = {FHandle.Get(), FSyncPending.Get()};
    while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
        CheckSynchronize();
}

void TThread::CheckSynchronize() {
    TSyncRequest* request = nullptr;
    {
        std::lock_guard<std::mutex> lock(FLock);
        request = std::exchange(FPendingSync, nullptr);
    }
    if (!request)
        return;
    try {
        (*request->Method)();
    } catch (...) {
        request->Error = std::current_exception();
    }
    // `this` may be gone now: only the request is touched.
    SetEvent(request->Done.Get());
}

void TThread::Synchronize(const std::function<void()>& method) {
    if (GetCurrentThreadId() == FGuiThreadId) {
        method();
        return;
    }
    TSyncRequest request;
    request.Method = &method;
    {
        std::lock_guard<std::mutex> lock(FLock);
        FPendingSync = &request;
    }
    SetEvent(FSyncPending.Get());
    FSyncWindow->Wake();
    WaitForSingleObject(request.Done.Get(), INFINITE);
    if (request.Error)
        std::rethrow_exception(request.Error);
}

DWORD WINAPI TThread::ThreadProc(void* parameter) {
    static_cast<TThread*>(parameter)->Run();
    return 0;
}

void TThread::Run() {
    if (!FTerminated) {
        try {
            Execute();
        } catch (...) {
            // An error that leaves the body ends it; it is not shown.
        }
    }
    std::unique_ptr<TThread> self;
    {
        std::lock_guard<std::mutex> lock(FLock);
        self = std::move(FSelf);
        FSelfDecided = true;
    }
    FFinished = true;
    if (FOnTerminate) {
        try {
            Synchronize([this] {
                // Stays set: from here on the worker touches nothing of the
                // object, so a later destruction need not wait for it either.
                FEndOfRunEntered = true;
                FOnTerminate(this);
            });
        } catch (...) {
        }
    }
    // From here on nothing of the object is touched; `self`, when the thread owns
    // itself, destroys it now.
}
