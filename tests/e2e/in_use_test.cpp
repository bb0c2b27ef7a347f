// A file of the installation that another program holds, as an antivirus
// scan or the running application does: a moment's hold is waited out, a
// person is told which file and may retry or cancel, and an unattended run
// waits its time and then ends with 7, the earlier set whole or nothing
// removed. The real distribution and library; the holder is a program of
// its own (file_holder.exe).
#include "e2e.h"

namespace {

using namespace e2e;

// How long a file is held, from 1 s before the run: throughout, or for a
// moment: until a second after the run has met it (a fixed time could end
// before the entry's uninstall, three programs emulated, gets there).
const DWORD THROUGHOUT = 120000, MOMENT = 0;
const std::string EARLIER = "the earlier set's help";

// file_holder.exe holding a file, from when it is made until it is let go.
class Holder {
public:
    explicit Holder(const std::string& file)
    {
        std::string line = "\"" + WindowsPath(FILE_HOLDER) + "\" \"" + file + "\" " + std::to_string(THROUGHOUT);
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION process = {};
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
        CloseHandle(process.hThread);
        process_ = process.hProcess;
        WaitForInputIdle(process_, 20000);  // its window is up once the file is held
    }
    ~Holder() { let_go(), CloseHandle(process_); }
    bool holding() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    void let_go() { holding() && TerminateProcess(process_, 1) && WaitForSingleObject(process_, 20000); }

private:
    HANDLE process_;
};

// The log as far as it is written: a running SETUP.EXE holds it open,
// sharing deleting too.
std::string log_so_far(const std::string& path)
{
    HANDLE log = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    std::string text;
    char part[4096];
    DWORD got;
    while (log != INVALID_HANDLE_VALUE && ::ReadFile(log, part, sizeof part, &got, nullptr) && got)
        text.append(part, got);
    CloseHandle(log);
    return text;
}

class FilesInUse : public DistributionTest {
protected:
    // A quiet installation into the default folder, its help file marked
    // as the earlier set's.
    void install_earlier()
    {
        clean();
        WriteRecord("");
        ASSERT_EQ(1u, Session("/quiet " + archive(), program()).exitCode(60000));
        WriteFile(file("QVNHELP.HLP"), EARLIER);
    }
    static std::string file(const char* name) { return std::string(DEFAULT_FOLDER) + "\\" + name; }
    // The earlier set, whole, with its record and entry, and nothing of a
    // copying left.
    static bool earlier_set_whole()
    {
        return ReadFile(file("QVNHELP.HLP")) == EARLIER && installed(DEFAULT_FOLDER) == 6 &&
               FilesIn(std::string(DEFAULT_FOLDER) + "\\*").size() == 7 && Exists(RecordPath()) &&
               UninstallEntryExists();
    }
};

// Unattended: a moment's hold from 1 s before the run is waited out; one
// that lasts past /wait ends the run with 7, the file and its holder
// named in the log. The removal marks every file before any goes, so a
// later file held keeps the earlier ones too.
TEST_F(FilesInUse, AnUnattendedRunWaitsOutAHoldOrEndsWith7KeepingTheWholeSet)
{
    const std::string log = TempPath("CorvaneSetup.log");
    struct Row {
        const char* what;
        bool removal;  // the entry's quiet uninstall, else a quiet reinstall
        std::string switches;
        const char* held;
        DWORD hold;  // THROUGHOUT or MOMENT
        DWORD exit;
        std::vector<std::string> logged;
    } rows[] = {
        {"a reinstall, QVN32.EXE held for a moment", false, "", "QVN32.EXE", MOMENT, 1,
         {"In use: " + file("QVN32.EXE") + "; Setup waits for it"}},
        {"the entry's uninstall, QVN32.EXE held for a moment", true, "", "QVN32.EXE", MOMENT, 1,
         {"In use: " + file("QVN32.EXE") + "; Setup waits for it", "Deleted " + file("QVN32.EXE")}},
        {"a reinstall, held past /wait", false, "/wait=5 ", "QVN32.EXE", THROUGHOUT, 7,
         {"Still in use: " + file("QVN32.EXE") + ", by another program", "Error: Error copying file !"}},
        {"the entry's uninstall, a later file held past /wait", true, "/wait=5 ", "QVNTUTOR.HLP", THROUGHOUT, 7,
         {"Still in use: " + file("QVNTUTOR.HLP") + ", by another program",
          "The removal stops: nothing was removed"}},
        // Wine's Restart Manager answers 0 and closes nothing: the run waits as without it.
        {"/closeapplications, held for a moment", false, "/closeapplications ", "QVN32.EXE", MOMENT, 1,
         {"In use: " + file("QVN32.EXE") + "; Setup waits for it",
          "The programs that hold " + file("QVN32.EXE") + " were asked to close: result 0"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        install_earlier();
        const std::string recordBefore = ReadFile(RecordPath());
        std::string command = row.removal ? EntryValue("QuietUninstallString") + " " + row.switches
                                          : "\"" + program() + "\" /quiet " + row.switches + archive();
        Holder holder(file(row.held));
        Sleep(1000);
        DWORD start = GetTickCount();
        Session run(command, "");
        if (row.hold == MOMENT) {
            for (std::string text; GetTickCount() - start < 60000; Sleep(100))
                if ((text = log_so_far(log)).find("In use: " + file(row.held), text.rfind("==== Corvane")) !=
                    std::string::npos)
                    break;
            Sleep(1000);
            holder.let_go();
        }
        std::string windowSeen;
        EXPECT_EQ(row.exit, run.exitCodeUnseen(windowSeen, 90000));
        DWORD took = GetTickCount() - start;
        EXPECT_EQ("", windowSeen);
        EXPECT_TRUE(row.hold == MOMENT || holder.holding()) << "held throughout";
        holder.let_go();

        EXPECT_TRUE(Logged(LastRun(log), row.logged));
        if (row.exit == 7) {
            EXPECT_TRUE(took >= 5000 && took < 25000) << took << " ms: /wait=5, not the default 30 s";
            EXPECT_TRUE(earlier_set_whole());
            EXPECT_EQ(recordBefore, ReadFile(RecordPath()));
        } else if (row.removal) {
            for (int waited = 0; waited < 5000 && Exists(DEFAULT_FOLDER); waited += 100)
                Sleep(100);
            EXPECT_FALSE(Exists(DEFAULT_FOLDER)) << "nothing is left";
            EXPECT_FALSE(Exists(RecordPath()));
        } else {
            EXPECT_EQ(7u, installed(DEFAULT_FOLDER)) << "the new set is in place";
        }
    }
}

// A person sees which file is in use, in a box over the backdrop: Retry
// once the holder has let go goes on to SUCCESS; Cancel leaves the
// earlier set whole, or, in a removal, keeps everything and goes back to
// the uninstall dialog.
TEST_F(FilesInUse, APersonIsToldWhichFileIsInUseAndMayRetryOrCancel)
{
    const std::string box = "Error:The file\n\n" + file("QVN32.EXE") +
                            "\n\nis in use by another program.  Close that program and choose Retry, or choose Cancel "
                            "to stop.";
    struct Row {
        const char* what;
        std::string tail;
        std::vector<Step> toBox;
        int button;
        std::vector<Step> after;
    } rows[] = {
        {"a reinstall, retried once free", archive(), {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"NOTICE1", "1"}, {box}},
         IDRETRY, {{"#135", "2"}, {"SUCCESS", "1"}}},
        {"a reinstall, cancelled", archive(), {{"SETUPSCAN"}, {"SETUPINTRO", "1"}, {"NOTICE1", "1"}, {box}},
         IDCANCEL, {{std::string("Error:") + COPY_FAILED, "1"}, {"SETUPINTRO"}}},
        {"a removal, cancelled", "UNINSTALL",
         {{"SETUPSCAN"}, {"UNISTALL", "1"}, {"REMOVE", "1"}, {"REMOVESCAN"}, {box}},
         IDCANCEL, {{"UNISTALL"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        install_earlier();
        size_t shortcuts = FilesIn(GroupFolder() + "\\*.lnk").size();
        Holder holder(file("QVN32.EXE"));
        Session setup(row.tail, program());
        Dialog asked;
        ASSERT_TRUE(Walk(setup, row.toBox, &asked));
        EXPECT_TRUE(holder.holding());
        if (row.button == IDRETRY)
            holder.let_go();
        EXPECT_TRUE(setup.press(asked, row.button));
        EXPECT_TRUE(Walk(setup, row.after));
        holder.let_go();
        if (row.button == IDRETRY) {
            EXPECT_EQ(1u, setup.exitCode());
            EXPECT_EQ(7u, installed(DEFAULT_FOLDER));
        } else {
            EXPECT_TRUE(earlier_set_whole());
            EXPECT_EQ(shortcuts, FilesIn(GroupFolder() + "\\*.lnk").size());
        }
    }
}

}  // namespace
