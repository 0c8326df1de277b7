#pragma once
// A worker thread with a body (Execute), a terminate request, an end-of-run
// handler that runs on the GUI thread, and calls marshalled to the GUI thread.
//
// The GUI thread is the thread that constructs the object. Call order:
//   1. the most derived constructor ends with AfterConstruction(), which starts
//      a thread that was not created suspended, so the body never sees a field
//      that is not yet set;
//   2. Start() lets a suspended thread run; a thread whose terminate request is
//      set when it first runs skips its body;
//   3. after the body (however it ended) the end-of-run handler runs on the GUI
//      thread while the worker waits; from then on the worker touches none of
//      the object's state, so the handler may destroy the object;
//   4. destroying (BeforeDestruction) a thread that is still running sets the
//      terminate request, starts it if it was never started and waits for it,
//      running its GUI-thread calls meanwhile, so a worker blocked in
//      Synchronize cannot deadlock the wait.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

#include "util/Exception.h"
#include "util/WinHandle.h"

class EThread : public Exception {
public:
    EThread() : Exception("Thread creation error") {}
};

class TThread {
public:
    using TNotifyEvent = std::function<void(TThread* sender)>;

    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    virtual ~TThread();

    // Lets a suspended thread run; does nothing for a thread already started.
    void Start();
    // Asks the body to stop; the body decides when it looks at the request.
    void Terminate() noexcept { FTerminated = true; }
    bool Terminated() const noexcept { return FTerminated; }
    bool Suspended() const noexcept { return !FStarted; }
    // True once the body has returned (the end-of-run handler may still be running).
    bool Finished() const noexcept { return FFinished; }

    // The end-of-run handler; set it before the thread starts.
    void SetOnTerminate(TNotifyEvent handler) { FOnTerminate = std::move(handler); }

    // Hands ownership of the thread to itself: it destroys itself after its
    // end-of-run handler, or at once when it has already come that far.
    static void FreeOnTerminate(std::unique_ptr<TThread> thread);

    // Waits until the thread has ended. On the GUI thread it keeps running this
    // thread's GUI-thread calls. Not for use when the end-of-run handler frees
    // the object, since the handler may run inside the wait.
    void WaitFor();

    // Runs this thread's pending GUI-thread call, if any. The sync window calls it;
    // the object may be gone when it returns (an end-of-run handler may free it).
    void CheckSynchronize();

protected:
    explicit TThread(bool createSuspended);

    // The most derived constructor calls this as its last statement.
    void AfterConstruction();
    // The most derived destructor calls this first, so that a running body
    // never sees its fields destroyed: it stops a running thread as described
    // above and returns at once for a thread that has ended.
    void BeforeDestruction();

    // The body, run once on the worker thread.
    virtual void Execute() = 0;

    // Runs method on the GUI thread and waits until it has run; at once when
    // called on the GUI thread. An error raised by method is raised again here.
    void Synchronize(const std::function<void()>& method);

private:
    struct TSyncRequest;
    class TSyncWindow;

    static DWORD WINAPI ThreadProc(void* parameter);
    void Run();

    const bool FCreateSuspended;
    const DWORD FGuiThreadId;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FStarted{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FEndOfRunEntered{false};
    TNotifyEvent FOnTerminate;

    std::mutex FLock; // guards FPendingSync, FSelf and FSelfDecided
    TSyncRequest* FPendingSync = nullptr;
    std::unique_ptr<TThread> FSelf;
    bool FSelfDecided = false;

    std::unique_ptr<TSyncWindow> FSyncWindow;
    TObjectHandle FSyncPending; // auto-reset: a GUI-thread call is queued
    TObjectHandle FHandle;
    DWORD FThreadId = 0;
};
