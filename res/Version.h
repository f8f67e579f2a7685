// The program's version and the texts that go with it, in one place for the About box, the file's
// version resource (what the file's properties show) and the release zip's name, which CMake reads
// from the DALVORIN_VERSION_ lines. UTF-8, for the resource compiler only.
#pragma once

#define DALVORIN_VERSION_MAJOR 1
#define DALVORIN_VERSION_MINOR 0
#define DALVORIN_VERSION_PATCH 0

// "1.0" in the About box is MAJOR.MINOR; the file's version is MAJOR.MINOR.PATCH.0.
#define DALVORIN_ABOUT_VERSION_TEXT "Dalvorin，1.0 版"
#define DALVORIN_FILE_VERSION_TEXT "1.0.0.0"
#define DALVORIN_PRODUCT_VERSION_TEXT "1.0"
#define DALVORIN_COPYRIGHT_TEXT "版权所有 (C) 2026 Nivvo"
#define DALVORIN_COMPANY_TEXT "Nivvo"
#define DALVORIN_PRODUCT_NAME_TEXT "Nivvo桌面管理"
#define DALVORIN_FILE_DESCRIPTION_TEXT "Nivvo桌面管理"
