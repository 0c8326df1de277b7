// The worker-thread base: start rules, the end-of-run handler on the GUI
// thread, GUI-thread calls, self-freeing and destruction of a running thread.
#include "download/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "PumpMessages.h"

namespace {

// What a probe thread saw, kept outside the object so it outlives it.
struct TProbeLog {
    std::atomic<bool> BodyRan{false};
    std::atomic<bool> Destroyed{false};
    std::atomic<int> EndOfRunCalls{0};
    DWORD EndOfRunThread = 0;
    std::string FieldSeenByBody;
    std::vector<std::string> Events; // written by the GUI thread, or by the worker while the GUI waits
};

class TProbeThread final : public TThread {
public:
    using TBody = std::function<void(TProbeThread&)>;

    TProbeThread(bool createSuspended, TProbeLog& log, TBody body)
        : TThread(createSuspended), FLog(log), FBody(std::move(body)) {
        FField = "set by the derived constructor";
        AfterConstruction();
    }
    ~TProbeThread() override {
        BeforeDestruction();
        FLog.Destroyed = true;
    }

    void RunOnGui(const std::function<void()>& method) { Synchronize(method); }
    const std::string& Field() const { return FField; }
    TProbeLog& Log() { return FLog; }

protected:
    void Execute() override {
        FLog.BodyRan = true;
        FLog.FieldSeenByBody = FField;
        if (FBody)
            FBody(*this);
    }

private:
    TProbeLog& FLog;
    TBody FBody;
    std::string FField;
};

void WatchEndOfRun(TProbeThread& thread, TProbeLog& log) {
    thread.SetOnTerminate([&log](TThread*) {
        log.EndOfRunThread = GetCurrentThreadId();
        log.Events.push_back("end of run");
        ++log.EndOfRunCalls;
    });
}

TEST(ThreadBase, SuspendedThreadWaitsForStart) {
    TProbeLog log;
    TProbeThread thread(true, log, nullptr);
    WatchEndOfRun(thread, log);
    EXPECT_TRUE(thread.Suspended());
    PumpUntil([] { return false; }, 4);
    EXPECT_FALSE(log.BodyRan);

    thread.Start();
    ASSERT_TRUE(PumpUntil([&] { return log.EndOfRunCalls == 1; }));
    EXPECT_TRUE(log.BodyRan);
    EXPECT_TRUE(thread.Finished());
}

TEST(ThreadBase, ThreadNotSuspendedStartsAfterTheWholeConstructor) {
    TProbeLog log;
    TProbeThread thread(false, log, nullptr);
    WatchEndOfRun(thread, log);
    EXPECT_FALSE(thread.Suspended());
    ASSERT_TRUE(PumpUntil([&] { return log.EndOfRunCalls == 1; }));
    EXPECT_EQ(log.FieldSeenByBody, "set by the derived constructor");
}

TEST(ThreadBase, TerminateBeforeTheFirstRunSkipsTheBodyButNotTheEndOfRunHandler) {
    TProbeLog log;
    TProbeThread thread(true, log, nullptr);
    WatchEndOfRun(thread, log);
    thread.Terminate();
    thread.Start();
    ASSERT_TRUE(PumpUntil([&] { return log.EndOfRunCalls == 1; }));
    EXPECT_FALSE(log.BodyRan);
    EXPECT_EQ(log.EndOfRunThread, GetCurrentThreadId());
}

TEST(ThreadBase, SynchronizeRunsOnTheGuiThreadWhileTheWorkerWaits) {
    TProbeLog log;
    const DWORD gui = GetCurrentThreadId();
    std::vector<DWORD> callThreads;
    TProbeThread thread(true, log, [&](TProbeThread& self) {
        for (int i = 0; i < 3; ++i) {
            self.RunOnGui([&, i] {
                callThreads.push_back(GetCurrentThreadId());
                log.Events.push_back("call " + std::to_string(i));
            });
            // The call has run completely before Synchronize returns.
            log.Events.push_back("returned " + std::to_string(i));
        }
    });
    WatchEndOfRun(thread, log);
    thread.Start();
    ASSERT_TRUE(PumpUntil([&] { return log.EndOfRunCalls == 1; }));
    EXPECT_EQ(callThreads, (std::vector<DWORD>{gui, gui, gui}));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"call 0", "returned 0", "call 1", "returned 1", "call 2",
                                                    "returned 2", "end of run"}));
}

TEST(ThreadBase, SynchronizeOnTheGuiThreadRunsAtOnce) {
    TProbeLog log;
    TProbeThread thread(true, log, nullptr);
    bool ran = false;
    thread.RunOnGui([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(ThreadBase, ErrorOfAGuiCallReachesTheWorkerAndAnErrorOfTheBodyStillEndsNormally) {
    TProbeLog log;
    std::atomic<bool> caughtInWorker{false};
    TProbeThread thread(true, log, [&](TProbeThread& self) {
        try {
            self.RunOnGui([] { throw std::runtime_error("gui call failed"); });
        } catch (const std::runtime_error&) {
            caughtInWorker = true;
        }
        throw std::runtime_error("body failed");
    });
    WatchEndOfRun(thread, log);
    thread.Start();
    ASSERT_TRUE(PumpUntil([&] { return log.EndOfRunCalls == 1; }));
    EXPECT_TRUE(caughtInWorker);
}

TEST(ThreadBase, EndOfRunHandlerMayFreeTheThread) {
    TProbeLog log;
    auto thread = std::make_unique<TProbeThread>(true, log, nullptr);
    thread->SetOnTerminate([&](TThread*) {
        ++log.EndOfRunCalls;
        thread.reset();
    });
    thread->Start();
    ASSERT_TRUE(PumpUntil([&] { return log.Destroyed.load(); }));
    EXPECT_EQ(log.EndOfRunCalls, 1);
}

TEST(ThreadBase, FreeOnTerminateDestroysTheThreadAfterItsEndOfRunHandler) {
    TProbeLog log;
    auto thread = std::make_unique<TProbeThread>(true, log, nullptr);
    thread->SetOnTerminate([&](TThread*) {
        EXPECT_FALSE(log.Destroyed);
        ++log.EndOfRunCalls;
    });
    TProbeThread* raw = thread.get();
    TThread::FreeOnTerminate(std::move(thread));
    raw->Start();
    ASSERT_TRUE(PumpUntil([&] { return log.Destroyed.load(); }));
    EXPECT_EQ(log.EndOfRunCalls, 1);
}

TEST(ThreadBase, FreeOnTerminateOfAFinishedThreadDestroysItAtOnce) {
    TProbeLog log;
    auto thread = std::make_unique<TProbeThread>(true, log, nullptr);
    WatchEndOfRun(*thread, log);
    thread->Start();
    ASSERT_TRUE(PumpUntil([&] { return log.EndOfRunCalls == 1; }));
    TThread::FreeOnTerminate(std::move(thread));
    EXPECT_TRUE(log.Destroyed);
}

TEST(ThreadBase, DestroyingARunningThreadBlockedInAGuiCallDoesNotDeadlock) {
    TProbeLog log;
    std::atomic<bool> started{false};
    std::atomic<int> guiCalls{0};
    std::atomic<bool> sawTerminate{false};
    {
        TProbeThread thread(false, log, [&](TProbeThread& self) {
            started = true;
            // Bounded: stops at the terminate request, which the destruction sets.
            for (int i = 0; i < 100000 && (i == 0 || !self.Terminated()); ++i)
                self.RunOnGui([&] { ++guiCalls; });
            sawTerminate = self.Terminated();
        });
        WatchEndOfRun(thread, log);
        for (int i = 0; i < 2000 && !started; ++i)
            Sleep(5);
        ASSERT_TRUE(started);
        // No message is served before the destruction: the worker is blocked in
        // its first GUI call, which the destruction's wait must run.
    }
    EXPECT_TRUE(sawTerminate);
    EXPECT_GE(guiCalls, 1);
    EXPECT_EQ(log.EndOfRunCalls, 1);
    EXPECT_TRUE(log.Destroyed);
}

TEST(ThreadBase, DestroyingANeverStartedThreadRunsOnlyItsEndOfRunHandler) {
    TProbeLog log;
    {
        TProbeThread thread(true, log, nullptr);
        WatchEndOfRun(thread, log);
    }
    EXPECT_FALSE(log.BodyRan);
    EXPECT_EQ(log.EndOfRunCalls, 1);
}

} // namespace
