// Wide text made narrow for the calls that take narrow text only.
#include "pages/AnsiText.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <string>

TEST(AnsiText, UpTo31CharactersStayInlineLongerTextGoesWholeToTheHeap) {
    const CAnsiText small(std::wstring(31, L'a').c_str(), CP_THREAD_ACP);
    EXPECT_TRUE(small.UsesInlineBuffer());
    EXPECT_EQ(std::string(31, 'a'), small.GetText());
    for (size_t length : {32u, 1000u}) {
        const CAnsiText large(std::wstring(length, L'b').c_str(), CP_THREAD_ACP);
        EXPECT_FALSE(large.UsesInlineBuffer());
        EXPECT_EQ(std::string(length, 'b'), large.GetText());
    }
}

TEST(AnsiText, NullGivesNullUnknownCharactersTheDefaultOneAndFailuresAnHresult) {
    EXPECT_EQ(nullptr, CAnsiText(nullptr, CP_THREAD_ACP).GetText());
    EXPECT_STREQ("a?b\x80", CAnsiText(L"a한b€", 1252).GetText());
    EXPECT_STREQ("\xCB\xBD\xC8\xCB", CAnsiText(L"私人", 936).GetText());
    try {
        const CAnsiText text(L"abc", 12345);  // no such code page
        ADD_FAILURE() << "no exception";
    } catch (const COleException& failure) {
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER), failure.m_sc);
    }
    EXPECT_EQ(E_OUTOFMEMORY, AnsiTextFailureCode(ERROR_OUTOFMEMORY));
    EXPECT_EQ(E_FAIL, AnsiTextFailureCode(0)) << "a failure without a code must not read as success";
}
