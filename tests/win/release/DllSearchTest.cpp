#include "util/SystemLibrary.h"

#include <gtest/gtest.h>

#include "PlantedModules.h"

namespace {

// Once restricted, a load by bare name no longer finds the DLL planted beside
// the program, although the ordinary search order looks there first.
TEST(DllSearch, RestrictionToTheSystemFolderPassesOverAPlantedDll) {
    const std::wstring planted = ProgramFolder() + L"\\msimg32.dll";
    ASSERT_TRUE(FileExists(planted));
    ASSERT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr) << "msimg32 must not be loaded before the test";

    // (Wine runs its own msimg32 code for the planted file, but under that file's path.)
    {
        TModule before(LoadLibraryW(L"msimg32.dll"));
        ASSERT_TRUE(before);
        ASSERT_TRUE(SamePath(ModulePath(before.Get()), planted)) << ModulePath(before.Get());
    }
    ASSERT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);

    RestrictDllSearchToSystemFolder();

    TModule after(LoadLibraryW(L"msimg32.dll"));
    ASSERT_TRUE(after);
    EXPECT_TRUE(SamePath(FolderOf(ModulePath(after.Get())), SystemFolder())) << ModulePath(after.Get());
    EXPECT_EQ(GetProcAddress(after.Get(), "TavrinPlantedMarker"), nullptr);
    // A DLL that exists only beside the program is not found at all.
    EXPECT_FALSE(TModule(LoadLibraryW(L"tavrin-planted.dll")));
}

} // namespace
