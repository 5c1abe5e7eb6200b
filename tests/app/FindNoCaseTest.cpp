#include <gtest/gtest.h>

#include "app/CiStCStringArray.h"

TEST(FindNoCase, MatchesWholeStringsIgnoringCaseAndReturnsTheFirst)
{
    CiStCStringArray names;
    EXPECT_EQ(names.FindNoCase(L"x"), -1) << "empty array";
    names.Add(L"apBar.dll");
    names.Add(L"apFoo.dll");
    names.Add(L"APFOO.DLL");
    EXPECT_EQ(names.FindNoCase(L"APFOO.DLL"), 1);
    EXPECT_EQ(names.FindNoCase(L"apfoo.dll"), 1);
    EXPECT_EQ(names.FindNoCase(L"apFoo"), -1) << "a prefix is no match";
    EXPECT_EQ(names.FindNoCase(L"apFoo.dll "), -1);
    EXPECT_EQ(names.FindNoCase(L""), -1);
    names.Add(L"");
    EXPECT_EQ(names.FindNoCase(L""), 3);
}

TEST(FindNoCase, FoldsNonAsciiLettersLikeTheFileSystem)
{
    CiStCStringArray names;
    names.Add(L"apÄrger.dll");
    names.Add(L"ap모듈.dll");
    EXPECT_EQ(names.FindNoCase(L"APäRGER.DLL"), 0);
    EXPECT_EQ(names.FindNoCase(L"AP모듈.DLL"), 1);
}
