// CorvaneSetup.exe, the release in one file, as a person downloads it: alone
// in a downloads folder, beside whatever a web page left there.
#include "e2e.h"

namespace {

using namespace e2e;

const char DOWNLOADS[] = "C:\\Downloads";

class SelfExtracting : public DistributionTest {
protected:
    // A run that failed may have left its private folder.
    void SetUp() override
    {
        DistributionTest::SetUp();
        for (const std::string& name : unpacked())
            robot::RemoveTree(TempPath(name.c_str()));
    }
    // A copy of the one file in `folder`, its path.
    static std::string copy_into(const std::string& folder)
    {
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string copy = folder + "\\CorvaneSetup.exe";
        CopyFileA(WindowsPath(SELF_EXTRACTING).c_str(), copy.c_str(), FALSE);
        return copy;
    }
    // The private folders the one file unpacks into.
    static std::vector<std::string> unpacked() { return FilesIn(TempPath("CorvaneSetup-*")); }
};

BOOL WINAPI first_language(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR into)
{
    *reinterpret_cast<WORD*>(into) = language;
    return FALSE;
}

// One carried file changed after the build, as a download broken on its
// way might be: the resource's last byte.
bool damage_archive(const std::string& program)
{
    HMODULE image = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = image ? FindResourceA(image, "CORVANE.ZIP", MAKEINTRESOURCEA(10)) : nullptr;
    if (!found)
        return false;
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
    std::string archive(bytes, SizeofResource(image, found));
    WORD language = 0;
    EnumResourceLanguagesA(image, MAKEINTRESOURCEA(10), "CORVANE.ZIP", first_language,
                           reinterpret_cast<LONG_PTR>(&language));
    FreeLibrary(image);
    archive.back() ^= 1;
    HANDLE update = BeginUpdateResourceA(program.c_str(), FALSE);
    return update && UpdateResourceA(update, MAKEINTRESOURCEA(10), "CORVANE.ZIP", language, &archive[0],
                                     static_cast<DWORD>(archive.size())) &&
           EndUpdateResourceA(update, FALSE);
}

// Started quietly from a downloads folder that holds a planted
// DUNZIP32.DLL, it installs with the library it carries, and leaves no
// folder of its own, its log where it was asked for; the entry's quiet uninstall then takes everything.
// What SETUP.EXE ends with, it ends with: a switch refused is no success.
TEST_F(SelfExtracting, ItInstallsFromADownloadsFolderWithWhatItCarriesAndLeavesNothing)
{
    const std::string program = copy_into(DOWNLOADS), mark = std::string(DOWNLOADS) + "\\LOADED.TXT";
    ASSERT_TRUE(CopyFileA(WindowsPath(PLANTED_DLL).c_str(), (std::string(DOWNLOADS) + "\\DUNZIP32.DLL").c_str(), FALSE));
    DeleteFileA(mark.c_str());

    const std::string refused = "/quiet /dir=Relative\\Folder";
    DWORD direct = Session(refused + " " + archive(), this->program()).exitCode(60000);
    EXPECT_NE(1u, direct);
    EXPECT_EQ(direct, Session(refused, program).exitCode(60000)) << "SETUP.EXE's exit code, unchanged";

    // A log named relative to where the one file was started goes there,
    // not into the private folder SETUP.EXE runs in.
    char here[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, here);
    const std::string log = std::string(here) + "\\one-file.log";
    DeleteFileA(log.c_str());
    EXPECT_EQ(1u, Session("/quiet /log=one-file.log", program).exitCode(120000));
    EXPECT_NE(std::string::npos, ReadFile(log).find("Exit code 1"));
    DeleteFileA(log.c_str());
    EXPECT_EQ(7u, installed(DEFAULT_FOLDER));
    EXPECT_EQ("Melvro", EntryValue("Publisher"));
    EXPECT_FALSE(Exists(mark)) << "the planted DUNZIP32.DLL was loaded";
    EXPECT_TRUE(unpacked().empty()) << "the private folder is gone";

    EXPECT_EQ(1u, Session(EntryValue("QuietUninstallString"), "").exitCode(60000));
    for (int waited = 0; waited < 5000 && Exists(DEFAULT_FOLDER); waited += 100)
        Sleep(100);
    EXPECT_FALSE(Exists(DEFAULT_FOLDER));
    EXPECT_FALSE(UninstallEntryExists());
    EXPECT_FALSE(Exists(mark));
}

// A carried file changed after the build stops it before anything runs.
TEST_F(SelfExtracting, ADamagedCarriedFileRunsNothing)
{
    const std::string program = copy_into(scratch()), log = scratch() + "\\run.log";
    ASSERT_TRUE(damage_archive(program));
    EXPECT_EQ(4u, Session("/quiet /log=" + log, program).exitCode(60000));
    EXPECT_FALSE(Exists(log)) << "SETUP.EXE ran";
    EXPECT_FALSE(Exists(DEFAULT_FOLDER));
    EXPECT_TRUE(unpacked().empty());
}

// Double-clicked, it opens the wizard. However SETUP.EXE ends, killed
// too, it ends with SETUP.EXE's exit code and leaves nothing behind.
TEST_F(SelfExtracting, StartedWithNothingItOpensTheWizard)
{
    const DWORD KILLED = 0xC000013A;  // STATUS_CONTROL_C_EXIT, as a console's Ctrl+C ends a process
    Session program("", copy_into(DOWNLOADS));
    DWORD id = robot::ProcessWithWindow("MelvroSetupWClass");
    Session setup(id, true);
    EXPECT_TRUE(Walk(setup, {{"SETUPSCAN"}, {"SETUPINTRO", "!1001"}}));
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
    ASSERT_TRUE(process && TerminateProcess(process, KILLED));
    CloseHandle(process);
    EXPECT_EQ(KILLED, program.exitCode());
    EXPECT_TRUE(unpacked().empty());
}

}  // namespace
