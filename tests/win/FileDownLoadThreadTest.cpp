// The download worker against a loopback HTTP server: whole downloads, every
// kind of failure, cancellation, and the monitor's COM contract.
#include "LoopbackHttpServer.h"

#include "download/FileDownLoadThread.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "PumpMessages.h"

namespace {

std::string ScratchFile(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "tavrin-dl-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Records every report of one worker, in order, with the thread it came on.
struct TReports {
    std::vector<std::pair<uint32_t, uint32_t>> Progress;
    std::vector<std::string> Events;
    std::vector<HRESULT> FailCodes;
    int Finished = 0;
    int EndOfRun = 0;
    bool ProgressOffGuiThread = false;
    bool OutcomeOnGuiThread = false;
    DWORD GuiThread = GetCurrentThreadId();
};

class TWorkerRun {
public:
    TWorkerRun(const std::string& url, const std::string& fileName, bool createSuspended = true)
        : FPath(ScratchFile(fileName)) {
        DeleteFileA(FPath.c_str());
        Worker = std::make_unique<TFileDownLoadThread>(
            url, FPath,
            [this](TFileDownLoadThread*, uint32_t progress, uint32_t progressMax) {
                Reports.ProgressOffGuiThread |= GetCurrentThreadId() != Reports.GuiThread;
                Reports.Progress.emplace_back(progress, progressMax);
                if (OnProgress)
                    OnProgress();
            },
            [this](TFileDownLoadThread*) {
                Reports.OutcomeOnGuiThread |= GetCurrentThreadId() == Reports.GuiThread;
                Reports.Events.push_back("finish");
                ++Reports.Finished;
            },
            [this](TFileDownLoadThread*, HRESULT code) {
                Reports.OutcomeOnGuiThread |= GetCurrentThreadId() == Reports.GuiThread;
                Reports.Events.push_back("fail");
                Reports.FailCodes.push_back(code);
            },
            createSuspended);
        Worker->SetOnTerminate([this](TThread*) {
            Reports.Events.push_back("end of run");
            ++Reports.EndOfRun;
        });
    }
    ~TWorkerRun() {
        Worker.reset();
        DeleteFileA(FPath.c_str());
    }

    bool RunToEnd() {
        if (Worker->Suspended())
            Worker->Start();
        return PumpUntil([this] { return Reports.EndOfRun == 1; });
    }
    std::string Downloaded() const { return ReadFile(FPath); }

    TReports Reports;
    std::function<void()> OnProgress;
    std::unique_ptr<TFileDownLoadThread> Worker;

private:
    std::string FPath;
};

const std::string kPackagePath = "/down/InstallNorlo.zip";

TEST(FileDownLoadThread, WholeDownloadArrivesByteForByteAndFinishesOnce) {
    const std::string body = MakeTestBody(3 * 1024 * 1024 + 123);
    TLoopbackHttpServer server(THttpMode::WholeBody, body);
    TWorkerRun run(server.Url(kPackagePath), "whole.zip");
    ASSERT_TRUE(run.RunToEnd());

    EXPECT_EQ(run.Downloaded(), body);
    EXPECT_EQ(server.RequestPaths(), std::vector<std::string>{kPackagePath});
    EXPECT_EQ(run.Reports.Events, (std::vector<std::string>{"finish", "end of run"}));
    EXPECT_FALSE(run.Reports.OutcomeOnGuiThread);
    EXPECT_FALSE(run.Reports.ProgressOffGuiThread);

    // The pairs arrive as the platform reported them: growing, ending complete.
    ASSERT_FALSE(run.Reports.Progress.empty());
    for (size_t i = 1; i < run.Reports.Progress.size(); ++i)
        EXPECT_GE(run.Reports.Progress[i].first, run.Reports.Progress[i - 1].first) << i;
    EXPECT_EQ(run.Reports.Progress.back(), std::make_pair(uint32_t(body.size()), uint32_t(body.size())));
}

TEST(FileDownLoadThread, WithAllHandlersAndNoSuspendFlagItStartsByItself) {
    const std::string body = MakeTestBody(100000);
    TLoopbackHttpServer server(THttpMode::WholeBody, body);
    TWorkerRun run(server.Url(kPackagePath), "auto.zip", false);
    EXPECT_FALSE(run.Worker->Suspended());
    // Not started here: the body found the URL, the path and the handlers stored.
    ASSERT_TRUE(PumpUntil([&] { return run.Reports.EndOfRun == 1; }));
    EXPECT_EQ(run.Reports.Finished, 1);
    EXPECT_EQ(run.Downloaded(), body);
}

TEST(FileDownLoadThread, AnUnsetHandlerKeepsItSuspendedUntilStarted) {
    const std::string body = MakeTestBody(50000);
    TLoopbackHttpServer server(THttpMode::WholeBody, body);
    const std::string path = ScratchFile("unset.zip");
    DeleteFileA(path.c_str());
    bool finished = false;
    bool ended = false;
    TFileDownLoadThread worker(
        server.Url(kPackagePath), path, [](TFileDownLoadThread*, uint32_t, uint32_t) {},
        [&](TFileDownLoadThread*) { finished = true; }, nullptr, false);
    worker.SetOnTerminate([&](TThread*) { ended = true; });
    EXPECT_TRUE(worker.Suspended());
    PumpUntil([] { return false; }, 4);
    EXPECT_EQ(server.RequestCount(), 0);

    worker.Start();
    ASSERT_TRUE(PumpUntil([&] { return ended; }));
    EXPECT_TRUE(finished);
    EXPECT_EQ(ReadFile(path), body);
    DeleteFileA(path.c_str());
}

struct TFailureCase {
    const char* Name;
    THttpMode Mode;
    bool Refused;
};

class FileDownLoadThreadFailure : public ::testing::TestWithParam<TFailureCase> {};

TEST_P(FileDownLoadThreadFailure, CallsTheFailHandlerOnceAndNeverFinish) {
    const TFailureCase& c = GetParam();
    TLoopbackHttpServer server(c.Mode, MakeTestBody(3 * 1024 * 1024));
    const std::string url = c.Refused
                                ? "http://127.0.0.1:" + std::to_string(TLoopbackHttpServer::ClosedPort()) + kPackagePath
                                : server.Url(kPackagePath);
    TWorkerRun run(url, std::string(c.Name) + ".zip");
    ASSERT_TRUE(run.RunToEnd());

    EXPECT_EQ(run.Reports.Events, (std::vector<std::string>{"fail", "end of run"}));
    ASSERT_EQ(run.Reports.FailCodes.size(), 1u);
    EXPECT_NE(run.Reports.FailCodes[0], S_OK);
    EXPECT_FALSE(run.Reports.OutcomeOnGuiThread);
    if (!c.Refused) {
        // The platform call itself succeeds here; the worker's own check fails it.
        EXPECT_EQ(run.Reports.FailCodes[0], INET_E_DOWNLOAD_FAILURE);
        EXPECT_EQ(server.RequestCount(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FileDownLoadThreadFailure,
                         ::testing::Values(TFailureCase{"Refused", THttpMode::WholeBody, true},
                                           TFailureCase{"NotFound", THttpMode::NotFound, false},
                                           TFailureCase{"ServerError", THttpMode::ServerError, false},
                                           TFailureCase{"CutShort", THttpMode::CutShort, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(FileDownLoadThread, TerminateDuringASlowTransferAbortsAtTheSameNotification) {
    const std::string body = MakeTestBody(4 * 1024 * 1024);
    TLoopbackHttpServer server(THttpMode::SlowBody, body);
    TWorkerRun run(server.Url(kPackagePath), "slow.zip");
    size_t progressAtTerminate = 0;
    // Ask for the stop once data is flowing; the request is seen right after
    // this GUI call returns.
    run.OnProgress = [&] {
        if (progressAtTerminate == 0 && run.Reports.Progress.back().first > 0) {
            progressAtTerminate = run.Reports.Progress.size();
            run.Worker->Terminate();
        }
    };
    ASSERT_TRUE(run.RunToEnd());

    ASSERT_GT(progressAtTerminate, 0u);
    // The platform may still report the notification it was in when it saw
    // E_ABORT, but no further data arrives.
    const auto atTerminate = run.Reports.Progress[progressAtTerminate - 1];
    for (size_t i = progressAtTerminate; i < run.Reports.Progress.size(); ++i)
        EXPECT_EQ(run.Reports.Progress[i].first, atTerminate.first) << i;
    EXPECT_EQ(run.Reports.Events, (std::vector<std::string>{"fail", "end of run"}));
    ASSERT_EQ(run.Reports.FailCodes.size(), 1u);
    EXPECT_NE(run.Reports.FailCodes[0], S_OK);
    EXPECT_LT(run.Downloaded().size(), body.size());
}

// The monitor on its own, with a worker that is never started as its owner.
class DownLoadMonitor : public ::testing::Test {
protected:
    DownLoadMonitor()
        : Owner(
              "http://127.0.0.1:1/none", ScratchFile("none.zip"),
              [this](TFileDownLoadThread*, uint32_t progress, uint32_t progressMax) {
                  Seen.emplace_back(progress, progressMax);
              },
              [](TFileDownLoadThread*) {}, [](TFileDownLoadThread*, HRESULT) {}, true) {
        Monitor = TDownLoadMonitor::Create(&Owner, Callback);
    }

    TFileDownLoadThread Owner;
    std::vector<std::pair<uint32_t, uint32_t>> Seen;
    TComPtr<IBindStatusCallback> Callback;
    TDownLoadMonitor* Monitor = nullptr;
};

TEST_F(DownLoadMonitor, ForwardsEveryNotificationWhateverItsStatus) {
    EXPECT_EQ(Callback->OnProgress(0, 0, BINDSTATUS_CONNECTING, L"127.0.0.1"), S_OK);
    EXPECT_EQ(Callback->OnProgress(10, 100, BINDSTATUS_DOWNLOADINGDATA, nullptr), S_OK);
    EXPECT_EQ(Callback->OnProgress(100, 100, BINDSTATUS_ENDDOWNLOADDATA, nullptr), S_OK);
    EXPECT_EQ(Seen, (std::vector<std::pair<uint32_t, uint32_t>>{{0, 0}, {10, 100}, {100, 100}}));
}

TEST_F(DownLoadMonitor, AnswersItsInterfacesAndCountsReferences) {
    TComPtr<IUnknown> unknown;
    TComPtr<IHttpNegotiate> negotiate;
    TComPtr<IAuthenticate> authenticate;
    EXPECT_EQ(Callback->QueryInterface(IID_IUnknown, unknown.PutVoid()), S_OK);
    EXPECT_EQ(Callback->QueryInterface(IID_IHttpNegotiate, negotiate.PutVoid()), S_OK);
    EXPECT_EQ(Callback->QueryInterface(IID_IAuthenticate, authenticate.PutVoid()), E_NOINTERFACE);
    EXPECT_FALSE(authenticate);
    EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(static_cast<IBindStatusCallback*>(Monitor)));

    // Three references now: the callback, the IUnknown and the IHttpNegotiate.
    EXPECT_EQ(Callback->AddRef(), 4u);
    EXPECT_EQ(Callback->Release(), 3u);
    unknown.Reset();
    negotiate.Reset();
    EXPECT_EQ(Callback->AddRef(), 2u);
    EXPECT_EQ(Callback->Release(), 1u);

    LPWSTR extra = reinterpret_cast<LPWSTR>(1);
    TComPtr<IHttpNegotiate> again;
    ASSERT_EQ(Callback->QueryInterface(IID_IHttpNegotiate, again.PutVoid()), S_OK);
    EXPECT_EQ(again->BeginningTransaction(L"http://x/", L"", 0, &extra), S_OK);
    EXPECT_EQ(extra, nullptr);
    EXPECT_EQ(Monitor->ResponseCode(), 0u);
    EXPECT_EQ(again->OnResponse(404, L"HTTP/1.1 404 Not Found\r\n", nullptr, nullptr), S_OK);
    EXPECT_EQ(Monitor->ResponseCode(), 404u);
}

} // namespace
