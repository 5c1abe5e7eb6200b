#include <gtest/gtest.h>

#include "menu/Deploy.h"
#include "support/TestSupport.h"

TEST(TargetName, DllAndPngFollowTheNamingBaseOtherFilesKeepTheirNames)
{
    EXPECT_EQ(TargetName(L"apFoo.dll", L"apBar.dll"), L"apBar.dll");
    EXPECT_EQ(TargetName(L"MyTool.DLL", L"apBar.dll"), L"apBar.DLL") << "the extension keeps its letter case";
    EXPECT_EQ(TargetName(L"apFoo_16.png", L"apBar.dll"), L"apBar_16.png");
    EXPECT_EQ(TargetName(L"apFoo_32.PNG", L"apDraftAssist.dll"), L"apDraftAssist_32.PNG");
    EXPECT_EQ(TargetName(L"a.png", L"apBar.dll"), L"apBara.p.png") << "a dot before index 3 takes the first three";
    EXPECT_EQ(TargetName(L"png", L"apBar.dll"), L"apBarpng.png") << "no dot: the whole name is the extension";
    EXPECT_EQ(TargetName(L"apFoo.txt", L"apBar.dll"), L"apFoo.txt");
    EXPECT_EQ(TargetName(L"apFoo.dll", L"ab.dll"), L"ap.dll") << "a base of six characters has an empty stem";
    EXPECT_EQ(TargetName(L"apFoo.dll", L"xyBar.abc"), L"apBar.dll") << "the base's cut characters are not examined";
}

TEST(MatchKey, TrimsCharacterSetsWithCase)
{
    EXPECT_EQ(MatchKey(L"apFoo.dll"), L"Foo");
    EXPECT_EQ(MatchKey(L"apPlaceModel.dll"), L"PlaceMode");
    EXPECT_EQ(MatchKey(L"paapSnap.dll"), L"Snap");
    EXPECT_EQ(MatchKey(L"APFoo.DLL"), L"APFoo.DLL") << "upper case is not in either set";
    EXPECT_EQ(MatchKey(L"apapp.dll"), L"");
    EXPECT_EQ(MatchKey(L"ap모듈.dll"), L"모듈");
}

TEST(SourceFolderOf, RemovesTheLastComponentKeepingARootAndAnyLength)
{
    EXPECT_EQ(SourceFolderOf(L"C:\\mods\\apFoo.dll"), L"C:\\mods");
    EXPECT_EQ(SourceFolderOf(L"C:\\apFoo.dll"), L"C:\\");
    EXPECT_EQ(SourceFolderOf(L"\\apFoo.dll"), L"\\");
    EXPECT_EQ(SourceFolderOf(L"\\\\?\\C:\\apFoo.dll"), L"\\\\?\\C:\\");
    EXPECT_EQ(SourceFolderOf(L"apFoo.dll"), L"");
    EXPECT_EQ(SourceFolderOf(L"C:apFoo.dll"), L"C:");

    std::wstring folder = L"C:";
    while (folder.size() < 9000)
        folder += L"\\" + std::wstring(200, L'd');
    EXPECT_EQ(SourceFolderOf(folder + L"\\apFoo.dll"), folder) << "a path past 8192 characters is not cut";
}
