// The setup controller against a loopback package server: start-up, progress
// on the bar, the success and failure paths with their states, the close rule
// with its refusal box, and the answer to the session-end query.
#include "LoopbackHttpServer.h"

#include "app/ApplicationWindow.h"
#include "app/DovexSetupFrm.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "MessageBoxDriver.h"
#include "PumpMessages.h"

namespace {

const std::wstring kCollecting = L"正在为您搜集服务资源";
const std::wstring kDownloadFailed = L"不能成功下载安装包，请确认网络！";
const std::string kCannotExit = "程序安装过程中，不能退出！";
const std::string kNotice = "提示";

// A scratch folder that plays the folder the program was started from.
class TScratchFolder {
public:
    TScratchFolder() {
        static int counter = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        FPath =
            std::string(temp) + "tavrin-ctl-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        CreateDirectoryA(FPath.c_str(), nullptr);
    }
    ~TScratchFolder() {
        DeleteFileA((FPath + "\\install\\install.zip").c_str());
        RemoveDirectoryA((FPath + "\\install").c_str());
        RemoveDirectoryA(FPath.c_str());
    }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// What reached the form and its progress bar, seen through window subclasses.
struct TObserved {
    const TDovexSetupFrm* Form = nullptr;
    int InstallMessages = 0;
    int32_t StateAtInstall = 0;
    std::vector<int32_t> StatesDuringProgress;
    std::vector<std::pair<UINT, LPARAM>> BarCalls; // PBM_SETPOS (position) and PBM_SETRANGE32 (maximum)
};

LRESULT CALLBACK FormSpy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* seen = reinterpret_cast<TObserved*>(data);
    if (msg == TDovexSetupFrm::WM_INSTALL) {
        // Only the trigger is observed here; the install sequence itself is run
        // by the end-to-end tests against real packages.
        ++seen->InstallMessages;
        seen->StateAtInstall = seen->Form->State();
        return 0;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK BarSpy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* seen = reinterpret_cast<TObserved*>(data);
    if (msg == PBM_SETPOS) {
        seen->BarCalls.emplace_back(msg, static_cast<LPARAM>(wParam));
        seen->StatesDuringProgress.push_back(seen->Form->State());
    } else if (msg == PBM_SETRANGE32) {
        EXPECT_EQ(wParam, 0u); // the minimum stays 0
        seen->BarCalls.emplace_back(msg, lParam);
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

HWND FindProgressBar(HWND form) {
    HWND found = nullptr;
    EnumChildWindows(
        form,
        [](HWND child, LPARAM result) -> BOOL {
            char name[64] = {};
            GetClassNameA(child, name, sizeof(name));
            if (lstrcmpiA(name, PROGRESS_CLASSA) != 0)
                return TRUE;
            *reinterpret_cast<HWND*>(result) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// A controller started from a scratch folder against a loopback server, with
// its messages observed from the start (nothing is served before the
// constructor returns, so no report can come earlier).
class TControllerRun {
public:
    explicit TControllerRun(uint16_t port)
        : Form(std::make_unique<TDovexSetupFrm>(TSetupOrigin{"127.0.0.1", port, Folder.Path() + "\\TavrinSetup.exe"})) {
        Seen.Form = Form.get();
        Bar = FindProgressBar(Form->Handle());
        SetWindowSubclass(Form->Handle(), FormSpy, 1, reinterpret_cast<DWORD_PTR>(&Seen));
        SetWindowSubclass(Bar, BarSpy, 1, reinterpret_cast<DWORD_PTR>(&Seen));
    }
    ~TControllerRun() { Form.reset(); }

    bool WaitForWorkerEnd() {
        return PumpUntil([this] { return !Form->HasDownloadWorker(); });
    }

    TScratchFolder Folder;
    TObserved Seen;
    std::unique_ptr<TDovexSetupFrm> Form;
    HWND Bar = nullptr;
};

TEST(SetupController, StartsTheDownloadFromTheProgramsFolder) {
    TLoopbackHttpServer server(THttpMode::SlowBody, MakeTestBody(2 * 1024 * 1024));
    TControllerRun run(server.Port());
    TDovexSetupFrm& form = *run.Form;

    EXPECT_EQ(form.Url(), "http://127.0.0.1:" + std::to_string(server.Port()) + "/down/InstallNorlo.zip");
    EXPECT_EQ(form.TempDir(), run.Folder.Path() + "\\install");
    EXPECT_EQ(form.ZipFile(), run.Folder.Path() + "\\install\\install.zip");
    const DWORD attributes = GetFileAttributesA(form.TempDir().c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(form.State(), 1);
    EXPECT_EQ(form.StatusText(), kCollecting);

    // The bar: a smooth progress control without its static edge, 0..100 at 0.
    ASSERT_NE(run.Bar, nullptr);
    EXPECT_FALSE(GetWindowLongA(run.Bar, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_TRUE(GetWindowLongA(run.Bar, GWL_STYLE) & PBS_SMOOTH);
    RECT bounds{};
    GetWindowRect(run.Bar, &bounds);
    MapWindowPoints(HWND_DESKTOP, form.Handle(), reinterpret_cast<POINT*>(&bounds), 2);
    EXPECT_EQ(bounds.left, 11);
    EXPECT_EQ(bounds.top, 398);
    EXPECT_EQ(bounds.right - bounds.left, 577);
    EXPECT_EQ(bounds.bottom - bounds.top, 15);
    EXPECT_EQ(SendMessageA(run.Bar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(run.Bar, PBM_GETPOS, 0, 0), 0);

    ASSERT_TRUE(PumpUntil([&] { return !server.RequestPaths().empty(); }));
    EXPECT_EQ(server.RequestPaths()[0], "/down/InstallNorlo.zip");
}

TEST(SetupController, WholeDownloadFillsTheBarAndPostsInstallOnce) {
    const std::string body = MakeTestBody(3 * 1024 * 1024 + 777);
    TLoopbackHttpServer server(THttpMode::WholeBody, body);
    TControllerRun run(server.Port());
    ASSERT_TRUE(run.WaitForWorkerEnd());
    // WM_INSTALL was posted before the end-of-run handler's call; a few more
    // rounds would show a second one.
    PumpUntil([] { return false; }, 4);

    EXPECT_EQ(ReadFile(run.Form->ZipFile()), body);
    EXPECT_EQ(run.Seen.InstallMessages, 1);
    EXPECT_EQ(run.Seen.StateAtInstall, 2);
    EXPECT_EQ(run.Form->State(), 2);

    // Each report sets the position, then the maximum (the bar then re-applies
    // the position within the new range); positions never go back.
    const auto& calls = run.Seen.BarCalls;
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().first, static_cast<UINT>(PBM_SETPOS));
    LPARAM lastPosition = 0;
    LPARAM lastMaximum = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].first == static_cast<UINT>(PBM_SETPOS)) {
            EXPECT_GE(calls[i].second, lastPosition) << i;
            lastPosition = calls[i].second;
        } else {
            // Before the size is known the download reports a maximum of 0.
            EXPECT_TRUE(calls[i].second == 0 || calls[i].second == static_cast<LPARAM>(body.size())) << i;
            lastMaximum = calls[i].second;
        }
    }
    EXPECT_EQ(lastPosition, static_cast<LPARAM>(body.size()));
    EXPECT_EQ(lastMaximum, static_cast<LPARAM>(body.size()));
    for (const int32_t state : run.Seen.StatesDuringProgress)
        EXPECT_EQ(state, 1);
    EXPECT_EQ(SendMessageA(run.Bar, PBM_GETPOS, 0, 0), static_cast<LRESULT>(body.size()));
    EXPECT_EQ(SendMessageA(run.Bar, PBM_GETRANGE, FALSE, 0), static_cast<LRESULT>(body.size()));

    // Installing: the close button refuses with the notice box.
    TMessageBoxDriver driver;
    run.Form->btnCloseClick();
    const TMessageBoxSeen seen = driver.Wait();
    ASSERT_TRUE(seen.Found);
    EXPECT_EQ(seen.Text, kCannotExit);
    EXPECT_EQ(seen.Caption, kNotice);
    EXPECT_EQ(seen.Icon, InformationIcon());
    EXPECT_EQ(seen.VisibleButtons, 1);
    EXPECT_TRUE(seen.HasOk);
    EXPECT_TRUE(IsWindow(run.Form->Handle()));
    EXPECT_EQ(SendMessageA(run.Form->Handle(), WM_QUERYENDSESSION, 0, 0), 1);
}

struct TFailureCase {
    const char* Name;
    THttpMode Mode;
    bool Refused;
};

class SetupControllerFailure : public ::testing::TestWithParam<TFailureCase> {};

TEST_P(SetupControllerFailure, ShowsTheNetworkTextAndThenClosesOnRequest) {
    const TFailureCase& c = GetParam();
    TLoopbackHttpServer server(c.Mode, MakeTestBody(3 * 1024 * 1024));
    TControllerRun run(c.Refused ? TLoopbackHttpServer::ClosedPort() : server.Port());
    ASSERT_TRUE(run.WaitForWorkerEnd());

    EXPECT_EQ(run.Form->State(), -1);
    EXPECT_EQ(run.Form->StatusText(), kDownloadFailed);
    EXPECT_EQ(run.Seen.InstallMessages, 0);
    EXPECT_EQ(SendMessageA(run.Form->Handle(), WM_QUERYENDSESSION, 0, 0), 1);

    run.Form->btnCloseClick();
    EXPECT_EQ(run.Form->Handle(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetupControllerFailure,
                         ::testing::Values(TFailureCase{"Refused", THttpMode::WholeBody, true},
                                           TFailureCase{"NotFound", THttpMode::NotFound, false},
                                           TFailureCase{"ServerError", THttpMode::ServerError, false},
                                           TFailureCase{"CutShort", THttpMode::CutShort, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SetupController, WhileDownloadingTheCloseButtonRefusesAndTheWindowCanStillBeTornDown) {
    const std::string body = MakeTestBody(8 * 1024 * 1024);
    TLoopbackHttpServer server(THttpMode::SlowBody, body);
    TControllerRun run(server.Port());
    ASSERT_TRUE(PumpUntil([&] { return run.Seen.BarCalls.size() >= 2; }));

    TMessageBoxDriver driver;
    run.Form->btnCloseClick();
    const TMessageBoxSeen seen = driver.Wait();
    ASSERT_TRUE(seen.Found);
    EXPECT_EQ(seen.Text, kCannotExit);
    EXPECT_EQ(seen.Caption, kNotice);
    EXPECT_EQ(run.Form->State(), 1);
    EXPECT_TRUE(IsWindow(run.Form->Handle()));
    EXPECT_EQ(SendMessageA(run.Form->Handle(), WM_QUERYENDSESSION, 0, 0), 1);

    // Destroying the window mid-transfer stops the worker instead of hanging.
    run.Form.reset();
    EXPECT_LT(ReadFile(run.Folder.Path() + "\\install\\install.zip").size(), body.size());
}

} // namespace

namespace {

TEST(ApplicationWindow, CarriesTheTitleForTheSetupWindowItOwnsAndPassesCloseRequestsToTheCloseRule) {
    TApplicationWindow application(ApplicationTitle());
    const HWND app = application.Handle();
    char title[256] = {};
    GetWindowTextA(app, title, sizeof(title));
    EXPECT_STREQ(title, "win_controller");
    EXPECT_TRUE(IsWindowVisible(app));
    EXPECT_FALSE(GetWindowLongA(app, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    RECT r{};
    GetWindowRect(app, &r);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);

    TScratchFolder folder;
    TDovexSetupFrm form(TSetupOrigin{"127.0.0.1", TLoopbackHttpServer::ClosedPort(), folder.Path() + "\\x.exe"}, app);
    application.SetOnCloseRequest([&form] { form.btnCloseClick(); });
    EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), app);
    EXPECT_EQ(GetWindowTextLengthA(form.Handle()), 0);

    ASSERT_TRUE(PumpUntil([&] { return !form.HasDownloadWorker(); }));
    ASSERT_EQ(form.State(), -1);
    SendMessageA(app, WM_CLOSE, 0, 0);
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_TRUE(IsWindow(app));
}

} // namespace
