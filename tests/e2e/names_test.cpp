// Names in every language, with the real distribution and library, each
// test in the locale its CMake entry names, which gives Wine its code page.
// The robot takes texts in UTF-8; files are named in the code page.
#include "e2e.h"
#include "texts.h"

namespace {

using namespace e2e;

class Names : public DistributionTest {
protected:
    // From `tail` into `folder` (UTF-8), quietly or as a person (icons over DDE), and out again, quietly
    // or as a person (UNINSTAL.EXE): nothing is left, of the copies in `temp` (code page) neither.
    void install_and_remove(bool personInstalls, bool personRemoves, const std::string& folder,
                            const std::string& temp, const std::string& tail = archive())
    {
        SCOPED_TRACE(std::string(personInstalls ? "a person" : "quiet") + (personRemoves ? ", a person" : ", quiet"));
        const std::string files = Narrow(Widen(folder, CP_UTF8));
        if (personInstalls) {
            Session setup(tail, program());
            EXPECT_TRUE(Walk(setup, {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"INSTALL", ">" + folder},
                                     {"DIRCREATE", "1", 1004, folder}, {"#135", "1"}, {"SUCCESS", "1"}}));
            robot::CloseShellWindows();
        } else {
            EXPECT_EQ(1u, Session("/quiet /dir=\"" + folder + "\" " + tail, program()).exitCode(60000));
        }
        EXPECT_EQ(7u, installed(files));
        EXPECT_NE(std::string::npos, ReadFile(RecordPath()).find("Path=" + files + "\\QVN32.EXE\r\n"));
        EXPECT_EQ(folder, EntryValue("InstallLocation"));
        EXPECT_EQ(files + "\\qvn32.exe", ReadShortcut(GroupFolder() + "\\Corvane Pro32.lnk").target);
        if (personRemoves) {
            EXPECT_EQ(0u, Session("", folder + "\\UNINSTAL.EXE").exitCode());
            Session setup(robot::ProcessWithWindow("MelvroSetupWClass"), true);
            EXPECT_TRUE(Walk(setup, {{"SETUPSCAN"}, {"UNISTALL", "1"}, {"REMOVE", "1"}, {"REMOVESCAN"},
                                     {"RSUCCESS1", "1"}}));
        } else {
            EXPECT_EQ(1u, Session(EntryValue("QuietUninstallString"), "").exitCode(60000));
        }
        const std::string copies = temp + "CorvaneUninstall-*";
        for (int waited = 0; waited < 10000 && (Exists(files) || !FilesIn(copies).empty()); waited += 100)
            Sleep(100);
        EXPECT_TRUE(FilesIn(copies).empty()) << "the temporary copy removed itself";
        EXPECT_FALSE(Exists(files) || Exists(RecordPath()) || UninstallEntryExists() || Exists(GroupFolder()));
    }
};

// LANG=ja_JP.UTF-8: code page 932, where "表" ends in 0x5C.
TEST_F(Names, AJapaneseFolderIsInstalledAndRemovedWhole)
{
    ASSERT_EQ(932u, GetACP());
    robot::RemoveTree(Narrow(L"C:\\ソフト")), robot::RemoveTree(Narrow(L"C:\\日"));
    const size_t root = FilesIn("C:\\*").size();
    for (bool person : {false, true})
        install_and_remove(person, !person, "C:\\ソフト\\表", TempPath(""));
    // A first level of one character whose second byte may begin another: "日" is 0x93 0xFA.
    install_and_remove(false, false, "C:\\日\\表", TempPath(""));
    EXPECT_EQ(root + 2, FilesIn("C:\\*").size()) << "only C:\\ソフト and C:\\日 were made there";
}

// LANG=C.UTF-8: code page 1252, which has no "Ł". The runs started from here
// have the folder as their temporary one, and the archive is beside it.
TEST_F(Names, APolishUsersTemporaryFolderIsTakenByItsShortName)
{
    const std::wstring temp = L"C:\\users\\Łukasz\\Temp";
    SHCreateDirectoryExW(nullptr, temp.c_str(), nullptr);
    SetEnvironmentVariableW(L"TEMP", temp.c_str());
    SetEnvironmentVariableW(L"TMP", temp.c_str());
    WCHAR shortName[MAX_PATH];
    GetShortPathNameW(temp.c_str(), shortName, MAX_PATH);
    CopyFileW(Widen(WindowsPath(DISTRIBUTION)).c_str(), L"C:\\users\\Łukasz\\CORVANE.ZIP", FALSE);
    const std::string shortTemp = Narrow(shortName), log = scratch() + "\\run.log";
    for (bool person : {false, true})
        install_and_remove(false, person, DEFAULT_FOLDER, shortTemp + "\\",
                           "/log=" + log + " C:\\users\\Łukasz\\CORVANE.ZIP*" DISTRIBUTION_CODE);
    const std::string logged = ReadFile(log);
    EXPECT_NE(std::string::npos, logged.find("CORVANE.ZIP (in UTF-8) is named by its short name"));
    EXPECT_NE(std::string::npos, logged.find("Temporary folder: " + shortTemp + "\\, since the code page cannot hold"));
    EXPECT_NE(std::string::npos, logged.find("The archive and its code are tried in " + shortTemp));
}

// LANG=hi_IN.UTF-8: the code pages are UTF-8, which takes the folder 1252 refuses.
TEST_F(Names, WithUtf8AsTheCodePageEverythingIsRemoved)
{
    ASSERT_EQ(65001u, GetACP());
    install_and_remove(false, false, "C:\\Programy\\Łódź", TempPath(""));
}

// LANG=C.UTF-8 with LC_MESSAGES=ja_JP.UTF-8: Japanese dialogs and boxes on
// a machine whose code page, 1252, holds no Japanese character. Every text
// a person meets is the Japanese one, whole: the dialogs (the robot knows
// them only by their Japanese templates), the backdrop's title, an error
// box, and UNINSTAL.EXE's box; the log stays in English.
TEST_F(Names, JapaneseShowsWholeOverCodePage1252)
{
    const LANGID JAPANESE = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    ASSERT_EQ(1252u, GetACP());
    ASSERT_EQ(JAPANESE, GetUserDefaultUILanguage()) << "Wine takes the language from LC_MESSAGES";
    robot::ExpectLanguage(JAPANESE);
    {
        Session setup(archive(), program());
        EXPECT_TRUE(Walk(setup, {{"SETUPSCAN"}, {"SETUPINTRO", "2"}, {"SETUPEXIT", "1"}}));
        EXPECT_EQ(0u, setup.exitCode());
    }
    const std::string log = scratch() + "\\japanese.log";
    {
        Session setup("/log=" + log + " /bogus " + archive(), program());
        robot::Dialog box = setup.next();
        DWORD shown = robot::ProcessWithWindow("MelvroSetupWClass", 0);
        EXPECT_EQ(robot::Text(IDS_ERROR, JAPANESE), box.title);
        EXPECT_EQ(robot::Text(IDS_SWITCH_UNKNOWN, JAPANESE, "/bogus"), box.message());
        EXPECT_EQ(0u, shown) << "a refused switch is told before the backdrop";
        setup.press(box, IDOK);
        EXPECT_EQ(2u, setup.exitCode());
        EXPECT_NE(std::string::npos, ReadFile(log).find("Error: /bogus: Setup knows no such switch.  It knows"))
            << "the log is in English";
    }
    {
        Session setup(archive(), program());
        Dialog scan = setup.next();
        WCHAR title[64] = {};
        InternalGetWindowText(GetWindow(scan.window, GW_OWNER), title, 64);
        EXPECT_EQ(robot::Text(IDS_BACKDROP_TITLE, JAPANESE), Narrow(title, CP_UTF8));
        EXPECT_TRUE(Walk(setup, {{"SETUPINTRO", "2"}, {"SETUPEXIT", "1"}}));
    }
    const std::string alone = scratch() + "\\UNINSTAL.EXE";
    ASSERT_TRUE(CopyFileA((robot::ProductFolder() + "\\UNINSTAL.EXE").c_str(), alone.c_str(), FALSE));
    Session uninstall("", alone);
    Dialog box = uninstall.next();
    EXPECT_EQ(robot::Text(IDS_NO_SETUP, JAPANESE, "", "UNINSTAL.EXE"), box.message());
    EXPECT_EQ(robot::Text(IDS_UNINSTALL_TITLE, JAPANESE, "", "UNINSTAL.EXE"), box.title);
    uninstall.press(box, IDOK);
    EXPECT_NE(STILL_ACTIVE, uninstall.exitCode());
}

}  // namespace
