// Wide text made narrow for the calls that take narrow text only.
#include "pages/AnsiText.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <string>

TEST(AnsiText, UpTo31CharactersStayInlineFrom32TheTextMovesToTheHeapWhole) {
    const std::wstring inlineText(31, L'a');
    const CAnsiText small(inlineText.c_str(), CP_THREAD_ACP);
    EXPECT_TRUE(small.UsesInlineBuffer());
    EXPECT_EQ(std::string(31, 'a'), small.GetText());

    const std::wstring heapText = L"Z:\\" + std::wstring(400, L'b') + L"\\systemopen.bat";
    const CAnsiText large(heapText.c_str(), CP_THREAD_ACP);
    EXPECT_FALSE(large.UsesInlineBuffer());
    EXPECT_EQ(std::string(heapText.begin(), heapText.end()), large.GetText());

    const CAnsiText boundary(std::wstring(32, L'c').c_str(), CP_THREAD_ACP);
    EXPECT_FALSE(boundary.UsesInlineBuffer());
    EXPECT_EQ(std::string(32, 'c'), boundary.GetText());
}

TEST(AnsiText, NullGivesNullAndCharactersOutsideTheCodePageBecomeItsDefaultCharacter) {
    const CAnsiText none(nullptr, CP_THREAD_ACP);
    EXPECT_EQ(nullptr, none.GetText());

    const CAnsiText western(L"a한b€", 1252);
    EXPECT_STREQ("a?b\x80", western.GetText());
    const CAnsiText chinese(L"私人空间", 936);
    EXPECT_STREQ("\xCB\xBD\xC8\xCB\xBF\xD5\xBC\xE4", chinese.GetText());
}

TEST(AnsiText, AFailedConversionRaisesTheWin32ErrorAsAnHresult) {
    try {
        const CAnsiText text(L"abc", 12345);  // no such code page
        ADD_FAILURE() << "no exception";
    } catch (const COleException& failure) {
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER), failure.m_sc);
    }
    EXPECT_EQ(E_OUTOFMEMORY, AnsiTextFailureCode(ERROR_OUTOFMEMORY));
    EXPECT_EQ(E_FAIL, AnsiTextFailureCode(0)) << "a failure without a code must not read as success";
    EXPECT_EQ(static_cast<HRESULT>(0x8004D00A), AnsiTextFailureCode(0x8004D00A));
}
