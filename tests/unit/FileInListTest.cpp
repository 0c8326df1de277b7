// FileInList: byte-wise comparison with only 'a'..'z' folded, no path normalisation.
#include "util/CommonUntil.h"

#include <gtest/gtest.h>

namespace {

TFileArray ListOf(std::initializer_list<const char*> names) {
    TFileArray files;
    for (const char* name : names) {
        TSearchRec rec;
        rec.Name = name;
        files.push_back(rec);
    }
    return files;
}

struct TLookupCase {
    const char* Listed;
    const char* Looked;
    bool Found;
};

class FileInListCase : public ::testing::TestWithParam<TLookupCase> {};

TEST_P(FileInListCase, ComparesPathsByteWise) {
    const TLookupCase& c = GetParam();
    const TFileArray files = ListOf({"C:\\Other\\x.dll", c.Listed, "D:\\last.txt"});
    EXPECT_EQ(FileInList(files, c.Looked), c.Found) << c.Listed << " vs " << c.Looked;
}

// GBK bytes: 0xB7 0xFE (a Chinese character), 0x8B 0x5C (trail byte '\'),
// 0xC3 0x61 / 0xC3 0x41 (trail bytes that are ASCII letters, folded like any 'a').
// "\xC3\xA9" vs "\xC3\x89" is a non-ASCII letter pair in Latin-1 terms (e-acute /
// E-acute), which must stay different.
INSTANTIATE_TEST_SUITE_P(
    Table, FileInListCase,
    ::testing::Values(TLookupCase{"C:\\Tavrin\\ZAVeri.exe", "C:\\Tavrin\\ZAVeri.exe", true},
                      TLookupCase{"C:\\Tavrin\\ZAVeri.exe", "c:\\tavrin\\zaveri.EXE", true},
                      TLookupCase{"C:\\Tavrin\\\xB7\xFE\\a.dll", "c:\\TAVRIN\\\xB7\xFE\\A.DLL", true},
                      TLookupCase{"C:\\\xC3\x61\\m.dll", "C:\\\xC3\x41\\m.dll", true},
                      TLookupCase{"C:\\\x8B\x5C\\m.dll", "C:\\\x8B\x5C\\M.DLL", true},
                      TLookupCase{"C:\\Tavrin\\ZAVeri.exe", "C:\\Tavrin\\ZAVeri.exe ", false},
                      TLookupCase{"C:\\Tavrin\\ZAVeri.exe", "C:/Tavrin/ZAVeri.exe", false},
                      TLookupCase{"C:\\Tavrin\\ZAVeri.exe", "C:\\Tavrin\\\\ZAVeri.exe", false},
                      TLookupCase{"C:\\Tavrin\\\xC3\xA9.dll", "C:\\Tavrin\\\xC3\x89.dll", false},
                      TLookupCase{"C:\\Program Files\\Tavrin\\Lib.dll", "C:\\PROGRA~1\\Tavrin\\Lib.dll", false},
                      TLookupCase{"C:\\Tavrin\\a.dll", "C:\\Tavrin\\a.dl", false},
                      TLookupCase{"C:\\Tavrin\\[.dll", "C:\\Tavrin\\{.dll", false},
                      TLookupCase{"C:\\Tavrin\\@.dll", "C:\\Tavrin\\`.dll", false}));

TEST(FileInList, EmptyListAndEmptyNames) {
    EXPECT_FALSE(FileInList(TFileArray{}, "C:\\a.dll"));
    EXPECT_FALSE(FileInList(TFileArray{}, ""));
    EXPECT_TRUE(FileInList(ListOf({"C:\\a.dll", ""}), ""));
    EXPECT_FALSE(FileInList(ListOf({"C:\\a.dll"}), ""));
}

TEST(FileInList, MatchesAnyPositionIncludingLast) {
    const TFileArray files = ListOf({"C:\\one.dll", "C:\\two.dll", "C:\\three.dll"});
    EXPECT_TRUE(FileInList(files, "C:\\ONE.dll"));
    EXPECT_TRUE(FileInList(files, "c:\\three.DLL"));
    EXPECT_FALSE(FileInList(files, "C:\\four.dll"));
}

} // namespace
