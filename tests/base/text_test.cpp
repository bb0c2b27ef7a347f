// Path text stepped by character, and text between wide and a code page,
// exact or refused; every code page named, so one process tries them all.
#include <windows.h>

#include <gtest/gtest.h>

#include "ansi_text.h"
#include "machine.h"
#include "path_text.h"
#include "temp_folder.h"

namespace {

using machine::Narrow;

// In each code page two characters ("@" and "#" below) whose second byte is
// 0x5C, the byte of a backslash; 1252 has none.
TEST(PathText, APathIsSteppedByCharacterInEveryCodePage)
{
    struct Page {
        UINT codePage;
        std::wstring a, b;
    } pages[] = {{932, L"ソ", L"表"}, {936, L"淺", L"乗"}, {950, L"許", L"功"}, {1252, L"é", L"ü"}};
    for (const Page& p : pages) {
        SCOPED_TRACE(p.codePage);
        auto text = [&p](std::wstring path) {
            for (size_t at; (at = path.find_first_of(L"@#")) != std::wstring::npos;)
                path.replace(at, 1, path[at] == L'@' ? p.a : p.b);
            return Narrow(path, p.codePage);
        };
        EXPECT_EQ(p.codePage != 1252, text(L"@#").find('\\') != std::string::npos) << "a trail byte 0x5C";
        char joined[PATH_CHARS];
        for (const wchar_t* folder : {L"C:\\@\\#", L"C:\\@\\#\\"}) {
            EXPECT_TRUE(JoinPath(joined, text(folder).c_str(), "QVN32.EXE", p.codePage));
            EXPECT_EQ(text(L"C:\\@\\#\\QVN32.EXE"), joined);
        }
        const std::string file = text(L"C:\\#\\@#\\QVN32.EXE");
        EXPECT_EQ(file.rfind('Q') - 1, static_cast<size_t>(LastOf(file.c_str(), "\\", p.codePage) - file.c_str()));
        EXPECT_EQ(nullptr, LastOf(text(L"#@.txt").c_str(), "\\/:", p.codePage)) << "a bare name";
        EXPECT_TRUE(NameEndsWith(text(L"@#\\x_QVN.Env").c_str(), "\\x_qvn.env", p.codePage));
        EXPECT_FALSE(NameEndsWith(text(L"#x").c_str(), "\\x", p.codePage)) << "from a trail byte";
        std::vector<std::string> levels;
        for (const char *level = file.c_str(), *end = level; *end; level = NextChar(end, p.codePage))
            levels.emplace_back(level, end = LevelEnd(level, p.codePage));
        EXPECT_EQ((std::vector<std::string>{"C:", text(L"#"), text(L"@#"), "QVN32.EXE"}), levels);
    }
}

// Converts as Windows does, which, unlike Wine, refuses the best-fit flag and
// the question of a default character for UTF-8 and GB18030.
int WINAPI AsWindowsConverts(UINT codePage, DWORD flags, LPCWCH wide, int chars, LPSTR text, int size, LPCCH byDefault,
                             LPBOOL usedDefault)
{
    if ((codePage == CP_UTF8 || codePage == 54936) && ((flags & ~WC_ERR_INVALID_CHARS) || byDefault || usedDefault)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    return WideCharToMultiByte(codePage, flags, wide, chars, text, size, byDefault, usedDefault);
}

TEST(AnsiText, WhatACodePageCannotHoldIsRefusedNeverReplaced)
{
    struct Case {
        const wchar_t* text;
        UINT codePage;
        const wchar_t* notHeld;  // empty: the text is held, exactly
    } cases[] = {
        {L"C:\\Programy\\Łódź", 1252, L"Ł ź"}, {L"C:\\Programy\\Łódź", 1250, L""},
        {L"C:\\ソフト\\表", 932, L""},           {L"C:\\ソフト\\表", 1252, L"ソ フ ト 表"},
        {L"C:\\Łódź\\表\\😀", CP_UTF8, L""},    {L"😀表😀", 936, L"😀"},  // each once, whole
        {L"C:\\x\xD800", CP_UTF8, L"\xD800"},  // half a character
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text, CP_UTF8) + " in " + std::to_string(c.codePage));
        char text[64];
        WCHAR back[64], notHeld[64];
        bool held = ConvertExactly(AsWindowsConverts, c.text, text, sizeof text, c.codePage);
        EXPECT_EQ(!*c.notHeld, held);
        EXPECT_EQ(held, held && ToWide(text, back, 64, c.codePage) && std::wstring(back) == c.text);
        CharactersNotHeld(c.text, notHeld, 64, c.codePage);
        EXPECT_EQ(std::wstring(c.notHeld), notHeld);
    }
}

DWORD WINAPI NoShortName(LPCWSTR, LPWSTR, DWORD) { return 0; }

// A temporary folder the code page cannot hold, with no short name: Windows'.
TEST(AnsiText, WithoutAShortNameTheWindowsFoldersTemporaryFolderIsTaken)
{
    char path[PATH_CHARS];
    EXPECT_EQ(TEMP_OF_WINDOWS, ChooseTempFolder(L"C:\\users\\Łukasz\\Temp\\", L"C:\\windows", path, NoShortName));
    EXPECT_STREQ("C:\\windows\\Temp\\", path);
}

}  // namespace
