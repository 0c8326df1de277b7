#include "util/SystemLibrary.h"

#include "ui/CommonControls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "PlantedModules.h"

namespace {

// The module that holds a code address, as the loader sees it.
HMODULE ModuleOfAddress(FARPROC address) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(address)), &module);
    return module;
}

// msimg32 is a system DLL that is not one of the KnownDLLs, so the ordinary
// search order finds a copy in the program's folder first.
TEST(SystemLibrary, LoadsTheSystemFolderModuleAndNotOnePlantedBesideTheProgram) {
    const std::wstring planted = ProgramFolder() + L"\\msimg32.dll";
    ASSERT_TRUE(FileExists(planted));
    ASSERT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr) << "msimg32 must not be loaded before the test";

    // A load by bare name picks the planted file. (Wine runs its own msimg32
    // code for it, but under the planted file's path.)
    {
        TModule found(LoadLibraryW(L"msimg32.dll"));
        ASSERT_TRUE(found);
        ASSERT_TRUE(SamePath(ModulePath(found.Get()), planted)) << ModulePath(found.Get());
    }
    ASSERT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);

    const TSystemLibrary msimg32("msimg32.dll");
    EXPECT_EQ(msimg32.Name(), "msimg32.dll");
    EXPECT_TRUE(SamePath(FolderOf(ModulePath(msimg32.Handle())), SystemFolder())) << ModulePath(msimg32.Handle());

    const auto alphaBlend = msimg32.Function<decltype(&AlphaBlend)>("AlphaBlend");
    ASSERT_NE(alphaBlend, nullptr);
    // The code behind it lies in the system folder (the export may forward to another system DLL).
    const HMODULE codeModule = ModuleOfAddress(reinterpret_cast<FARPROC>(reinterpret_cast<void*>(alphaBlend)));
    ASSERT_NE(codeModule, nullptr);
    EXPECT_TRUE(SamePath(FolderOf(ModulePath(codeModule)), SystemFolder())) << ModulePath(codeModule);
    EXPECT_THROW(msimg32.Procedure("TavrinPlantedMarker"), ESystemFunctionMissing);
}

struct TMissingCase {
    std::string Library;
    const char* Function; // nullptr: the library itself is refused
    std::string Message;
    DWORD ErrorCode;
};

// Loading or resolving is refused with a message that names what is missing.
TEST(SystemLibrary, MissingLibrariesAndFunctionsRaiseTheirErrors) {
    const std::string plantedPath = [] {
        const std::wstring path = ProgramFolder() + L"\\tavrin-planted.dll";
        return std::string(path.begin(), path.end());
    }();
    const TMissingCase cases[] = {
        {"tavrin-no-such-library.dll", nullptr, "Cannot load the system library tavrin-no-such-library.dll",
         ERROR_MOD_NOT_FOUND},
        // Present beside the program only: not a system DLL.
        {"tavrin-planted.dll", nullptr, "Cannot load the system library tavrin-planted.dll", ERROR_MOD_NOT_FOUND},
        // A path would load whatever file it names.
        {plantedPath, nullptr, "Cannot load the system library " + plantedPath, ERROR_INVALID_NAME},
        {"..\\msimg32.dll", nullptr, "Cannot load the system library ..\\msimg32.dll", ERROR_INVALID_NAME},
        {"", nullptr, "Cannot load the system library ", ERROR_INVALID_NAME},
        {"bcrypt.dll", "BCryptNoSuchFunction",
         "Cannot find the function BCryptNoSuchFunction in the system library bcrypt.dll", ERROR_PROC_NOT_FOUND},
    };
    for (const TMissingCase& c : cases) {
        SCOPED_TRACE(c.Library);
        try {
            const TSystemLibrary library(c.Library);
            ASSERT_NE(c.Function, nullptr) << "the library should have been refused";
            library.Procedure(c.Function);
            ADD_FAILURE() << "the function should have been refused";
        } catch (const ESystemFunctionMissing& error) {
            EXPECT_NE(c.Function, nullptr);
            EXPECT_EQ(error.Message(), c.Message);
            EXPECT_EQ(error.ErrorCode(), c.ErrorCode);
        } catch (const ESystemLibraryMissing& error) {
            EXPECT_EQ(c.Function, nullptr);
            EXPECT_EQ(error.Message(), c.Message);
            EXPECT_EQ(error.ErrorCode(), c.ErrorCode);
        }
    }
    EXPECT_EQ(GetModuleHandleW(L"tavrin-planted.dll"), nullptr);
}

// The common controls come from the system folder's comctl32 and register their classes.
TEST(SystemLibrary, CommonControlClassesAreRegisteredThroughTheSystemComctl32) {
    ASSERT_TRUE(InitCommonControlClasses(ICC_PROGRESS_CLASS | ICC_BAR_CLASSES));
    const HMODULE comctl32 = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(comctl32, nullptr);
    EXPECT_TRUE(SamePath(FolderOf(ModulePath(comctl32)), SystemFolder())) << ModulePath(comctl32);

    const HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(bar, nullptr);
    SendMessageW(bar, PBM_SETRANGE32, 0, 50);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 50);
    DestroyWindow(bar);
}

} // namespace
