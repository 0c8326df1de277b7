// KillProcessesUsingFiles against real helper processes (ModuleHolder.exe)
// that load copies of a small library from a temporary folder. Every holder
// is ended when its test ends, also when the test fails.
#include "util/CommonUntil.h"
#include "UtilTempFolder.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kSafetyWaitMs = 30000; // only bounds a hang; no check depends on timing

class THolder {
public:
    // A holder that is not terminable denies PROCESS_TERMINATE to everyone
    // who opens it by ID; the handle kept here still has every right.
    explicit THolder(const std::vector<std::string>& libraries, bool terminable = true) {
        static int counter = 0;
        const std::string prefix =
            "TavrinUtilHolder-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        FReady = CreateEventA(nullptr, FALSE, FALSE, (prefix + "-ready").c_str());
        FPing = CreateEventA(nullptr, FALSE, FALSE, (prefix + "-ping").c_str());
        FPong = CreateEventA(nullptr, FALSE, FALSE, (prefix + "-pong").c_str());
        std::string commandLine = "\"" MODULE_HOLDER_EXE "\" " + std::to_string(GetCurrentProcessId()) + " " + prefix;
        for (const std::string& library : libraries)
            commandLine += " \"" + library + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        SECURITY_ATTRIBUTES security{};
        security.nLength = sizeof security;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        // Query, read memory (for the module list), synchronise and read control: no terminate.
        if (!terminable && ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;0x121410;;;WD)", SDDL_REVISION_1,
                                                                                &descriptor, nullptr))
            security.lpSecurityDescriptor = descriptor;
        const bool created =
            (terminable || descriptor) && CreateProcessA(nullptr, commandLine.data(), terminable ? nullptr : &security,
                                                         nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
        if (descriptor)
            LocalFree(descriptor);
        if (created) {
            FProcess = info.hProcess;
            CloseHandle(info.hThread);
            FId = info.dwProcessId;
        }
    }
    THolder(const THolder&) = delete;
    THolder& operator=(const THolder&) = delete;
    ~THolder() {
        End();
        for (HANDLE event : {FReady, FPing, FPong})
            if (event)
                CloseHandle(event);
    }

    DWORD Id() const { return FId; }

    // True once every library is loaded.
    bool WaitReady() const { return FProcess && WaitFor(FReady) == WAIT_OBJECT_0; }

    // A process that answers a ping runs its code: it has not been terminated.
    bool AnswersPing() const {
        if (!FProcess)
            return false;
        SetEvent(FPing);
        return WaitFor(FPong) == WAIT_OBJECT_0;
    }

    bool EndedWithExitCode(DWORD expected) const {
        DWORD code = 1234;
        return FProcess && WaitForSingleObject(FProcess, kSafetyWaitMs) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(FProcess, &code) && code == expected;
    }

    // Ends the process (exit code 1) and waits for it.
    void End() {
        if (!FProcess)
            return;
        TerminateProcess(FProcess, 1);
        WaitForSingleObject(FProcess, kSafetyWaitMs);
        CloseHandle(std::exchange(FProcess, nullptr));
    }

private:
    // Waits for the event, or for the process to end (which answers no).
    DWORD WaitFor(HANDLE event) const {
        const HANDLE handles[] = {event, FProcess};
        return WaitForMultipleObjects(2, handles, FALSE, kSafetyWaitMs);
    }

    HANDLE FProcess = nullptr;
    DWORD FId = 0;
    HANDLE FReady = nullptr;
    HANDLE FPing = nullptr;
    HANDLE FPong = nullptr;
};

TFileArray ListOf(const std::vector<std::string>& names) {
    TFileArray files;
    for (const std::string& name : names) {
        TSearchRec rec;
        rec.Name = name;
        files.push_back(rec);
    }
    return files;
}

std::string UpperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string ShortForm(const std::string& path) {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

struct TCall {
    std::string ModulePath;
    std::uint32_t ProcessId;
};

class KillProcessesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileA(HELD_MODULE_DLL, FModuleA.c_str(), FALSE)) << HELD_MODULE_DLL;
        ASSERT_TRUE(CopyFileA(HELD_MODULE_DLL, FModuleB.c_str(), FALSE));
    }

    // A callback that records its calls and answers keep.
    TKeepProcessEvent Recorder(bool keep) {
        return [this, keep](const std::string& modulePath, std::uint32_t processId) {
            FCalls.push_back({modulePath, processId});
            return keep;
        };
    }

    TTempFolder FFolder{"tavrin-kill"};
    const std::string FModuleA = FFolder / "HeldModuleA.dll";
    const std::string FModuleB = FFolder / "HeldModuleB.dll";
    std::vector<TCall> FCalls;
};

TEST_F(KillProcessesTest, TerminatesHolderOfListedModule) {
    struct TCase {
        const char* Label;
        bool Uppercase;
        bool WithCallback; // a callback that answers false, else none
    };
    for (const TCase& c : {TCase{"exact, no callback", false, false}, TCase{"ASCII case, no callback", true, false},
                           TCase{"exact, callback answers false", false, true}}) {
        SCOPED_TRACE(c.Label);
        FCalls.clear();
        THolder holder({FModuleA});
        ASSERT_TRUE(holder.WaitReady());
        const std::string listed = c.Uppercase ? UpperAscii(FModuleA) : FModuleA;
        if (c.Uppercase) {
            ASSERT_NE(listed, FModuleA);
        }

        EXPECT_FALSE(KillProcessesUsingFiles(ListOf({"C:\\unrelated.dll", listed}),
                                             c.WithCallback ? Recorder(false) : TKeepProcessEvent()));
        EXPECT_TRUE(holder.EndedWithExitCode(0));
        if (c.WithCallback) {
            ASSERT_EQ(FCalls.size(), 1u);
            EXPECT_EQ(UpperAscii(FCalls[0].ModulePath), UpperAscii(FModuleA));
            EXPECT_EQ(FCalls[0].ProcessId, holder.Id());
        }
    }
}

TEST_F(KillProcessesTest, HolderSurvives) {
    const std::string shortForm = ShortForm(FModuleA);
    ASSERT_FALSE(shortForm.empty());
    ASSERT_NE(UpperAscii(shortForm), UpperAscii(FModuleA)) << "the short form must differ for this case";

    struct TCase {
        const char* Label;
        std::vector<std::string> Listed;
        bool WithVeto; // a callback that answers true, else none
        std::size_t ExpectedCalls;
    };
    const TCase cases[] = {
        {"empty list", {}, false, 0},
        {"callback vetoes", {FModuleA}, true, 1},
        {"only the 8.3 short form listed", {shortForm}, false, 0},
        {"another file of the same folder listed", {FModuleB}, false, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        FCalls.clear();
        THolder holder({FModuleA});
        ASSERT_TRUE(holder.WaitReady());

        EXPECT_FALSE(KillProcessesUsingFiles(ListOf(c.Listed), c.WithVeto ? Recorder(true) : TKeepProcessEvent()));
        EXPECT_TRUE(holder.AnswersPing());
        EXPECT_EQ(FCalls.size(), c.ExpectedCalls);
        for (const TCall& call : FCalls)
            EXPECT_EQ(call.ProcessId, holder.Id());
    }
}

TEST_F(KillProcessesTest, TwoListedModulesOfOneProcessMeanTwoCallbackCalls) {
    THolder holder({FModuleA, FModuleB});
    ASSERT_TRUE(holder.WaitReady());

    EXPECT_FALSE(KillProcessesUsingFiles(ListOf({FModuleA, FModuleB}), Recorder(true)));
    ASSERT_EQ(FCalls.size(), 2u);
    EXPECT_EQ(FCalls[0].ProcessId, holder.Id());
    EXPECT_EQ(FCalls[1].ProcessId, holder.Id());
    EXPECT_NE(UpperAscii(FCalls[0].ModulePath), UpperAscii(FCalls[1].ModulePath));
    EXPECT_TRUE(FileInList(ListOf({FModuleA, FModuleB}), FCalls[0].ModulePath));
    EXPECT_TRUE(FileInList(ListOf({FModuleA, FModuleB}), FCalls[1].ModulePath));
    EXPECT_TRUE(holder.AnswersPing());
}

// The answer reports the last termination attempt only. The process that
// cannot be opened is a holder created with a security descriptor that grants
// no PROCESS_TERMINATE (Wine checks it as Windows does). Both creation orders
// are run, so that both snapshot orders of the two holders are met.
TEST_F(KillProcessesTest, AnswerReflectsTheLastAttemptOnly) {
    std::set<bool> answers;
    for (const bool unopenableCreatedFirst : {true, false}) {
        SCOPED_TRACE(unopenableCreatedFirst ? "unopenable created first" : "unopenable created second");
        std::unique_ptr<THolder> unopenable;
        std::unique_ptr<THolder> openable;
        if (unopenableCreatedFirst)
            unopenable = std::make_unique<THolder>(std::vector<std::string>{FModuleA}, false);
        openable = std::make_unique<THolder>(std::vector<std::string>{FModuleA});
        if (!unopenableCreatedFirst)
            unopenable = std::make_unique<THolder>(std::vector<std::string>{FModuleA}, false);
        ASSERT_TRUE(unopenable->WaitReady());
        ASSERT_TRUE(openable->WaitReady());

        const bool answer = KillProcessesUsingFiles(ListOf({FModuleA}), Recorder(false));
        ASSERT_EQ(FCalls.size(), 2u);
        const bool unopenableWasLast = FCalls[1].ProcessId == unopenable->Id();
        EXPECT_EQ(FCalls[unopenableWasLast ? 0 : 1].ProcessId, openable->Id());
        EXPECT_EQ(answer, unopenableWasLast);
        answers.insert(answer);
        EXPECT_TRUE(openable->EndedWithExitCode(0));
        EXPECT_TRUE(unopenable->AnswersPing());
        FCalls.clear();
    }
    EXPECT_EQ(answers.size(), 2u) << "both orders must have been met";
}

} // namespace
