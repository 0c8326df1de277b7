// DeleteDir removes a tree through the shell without asking or reporting
// anything: no dialog window is created on the calling thread.
#include "util/CommonUntil.h"
#include "UtilTempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Records the class of every window created on this thread while it lives and
// refuses dialogs (class "#32770", also used by message boxes), so that a box
// shows up as a failed check instead of a test that waits for a click.
class TDialogGuard {
public:
    TDialogGuard() {
        Current() = this;
        FHook = SetWindowsHookExA(WH_CBT, &TDialogGuard::HookProc, nullptr, GetCurrentThreadId());
    }
    TDialogGuard(const TDialogGuard&) = delete;
    TDialogGuard& operator=(const TDialogGuard&) = delete;
    ~TDialogGuard() {
        if (FHook)
            UnhookWindowsHookEx(FHook);
        Current() = nullptr;
    }

    bool Installed() const { return FHook != nullptr; }
    int Dialogs() const {
        int count = 0;
        for (const std::string& name : FClasses)
            count += name == "#32770";
        return count;
    }

private:
    static TDialogGuard*& Current() {
        static TDialogGuard* current = nullptr;
        return current;
    }

    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
        TDialogGuard* self = Current();
        if (code == HCBT_CREATEWND && self) {
            const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
            std::string name;
            if (IS_INTRESOURCE(cs->lpszClass)) {
                char atom[16];
                std::snprintf(atom, sizeof atom, "#%u",
                              static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(cs->lpszClass)));
                name = atom;
            } else {
                char buffer[256] = {};
                GetClassNameA(reinterpret_cast<HWND>(wParam), buffer, sizeof buffer);
                name = buffer;
            }
            self->FClasses.push_back(name);
            if (name == "#32770")
                return 1; // refuse the dialog
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK FHook = nullptr;
    std::vector<std::string> FClasses;
};

TEST(DeleteDir, DialogGuardSeesAMessageBox) {
    TDialogGuard guard;
    ASSERT_TRUE(guard.Installed());
    MessageBoxA(nullptr, "probe", "probe", MB_OK);
    EXPECT_EQ(guard.Dialogs(), 1);
}

TEST(DeleteDir, RemovesTreeWithoutAnyDialog) {
    TTempFolder parent("tavrin-delete");
    const std::string tree = parent / "UNZIP";
    ASSERT_TRUE(CreateDirectoryA(tree.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((tree + "\\bin").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((tree + "\\bin\\\xB7\xFE\xCE\xF1").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(tree + "\\ZAVeri.exe", "MZ"));
    ASSERT_TRUE(WriteFileBytes(tree + "\\bin\\lib.dll", "MZ"));
    ASSERT_TRUE(WriteFileBytes(tree + "\\bin\\hidden.dat", "h", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteFileBytes(tree + "\\bin\\\xB7\xFE\xCE\xF1\\readonly.txt", "r", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteFileBytes(parent / "sibling.txt", "stays"));

    TDialogGuard guard;
    ASSERT_TRUE(guard.Installed());
    DeleteDir(tree);

    EXPECT_EQ(guard.Dialogs(), 0);
    EXPECT_FALSE(PathExists(tree));
    EXPECT_TRUE(PathExists(parent / "sibling.txt"));
}

TEST(DeleteDir, MissingFolderIsSilent) {
    TTempFolder parent("tavrin-delete");
    TDialogGuard guard;
    ASSERT_TRUE(guard.Installed());
    DeleteDir(parent / "missing");
    DeleteDir(parent / "missing\\deeper");
    EXPECT_EQ(guard.Dialogs(), 0);
    EXPECT_TRUE(PathExists(parent.Path()));
}

} // namespace
