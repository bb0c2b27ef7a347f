// A copying that is stopped, by a failure in its middle or by a kill at
// any moment of it: the folder holds the whole old set or the whole new
// one, never a mix, and nothing else; the next start of the setup, whatever
// it was started for, ends what the killed one left. Quiet runs, the real
// library, and a distribution large enough to be stopped at many moments.
#include <cmath>
#include <cstdio>

#include "e2e.h"
#include "stopper.h"

namespace {

using namespace e2e;

const std::string FOLDER = DEFAULT_FOLDER;

std::string journal()
{
    const std::string record = RecordPath();
    return record.substr(0, record.rfind('\\')) + "\\QVN32.JNL";
}

// A journal as the setup writes it: the phase, the volume's serial number
// (by default that of the folder's drive now) and the folder.
std::string journal_of(char phase, const std::string& folder, DWORD serial = 0)
{
    char digits[16];
    DWORD* now = serial ? nullptr : &serial;
    GetVolumeInformationA(folder.substr(0, 3).c_str(), nullptr, 0, now, nullptr, nullptr, nullptr, 0);
    std::snprintf(digits, sizeof digits, "%08lx", static_cast<unsigned long>(serial));
    return std::string(1, phase) + "\r\n" + digits + "\r\n" + folder + "\r\n";
}

enum Held { NOTHING, EARLIER_SET, NEW_SET, A_MIX };
const char* const HELD[] = {"nothing", "the earlier set", "the new set", "a mix"};

// An archive with a byte of a member's data changed, as in a damaged
// download. The name is met first in the member's local header, 30 bytes in.
std::string damaged(std::string archive, const std::string& member)
{
    size_t header = archive.find(member) - 30;
    auto word = [&](size_t at) { return size_t(uint8_t(archive[header + at])) | size_t(uint8_t(archive[header + at + 1])) << 8; };
    archive[header + 30 + word(26) + word(28) + (word(18) | word(20) << 16) / 2] ^= 0x55;
    return archive;
}

class Interrupted : public DistributionTest {
protected:
    void SetUp() override
    {
        DistributionTest::SetUp();
        earlier_ = scratch() + "\\earlier";
        MakeFolder(earlier_);
        for (const char* member : MEMBERS)
            WriteFile(earlier_ + "\\" + member, std::string("earlier ") + member);
    }
    void TearDown() override
    {
        DeleteFileA(journal().c_str());
        DistributionTest::TearDown();
    }
    static std::string large() { return WindowsPath(LARGE_DISTRIBUTION) + "*" DISTRIBUTION_CODE; }
    std::string quiet(const std::string& switches) const { return "\"" + program() + "\" /quiet /noicons " + switches; }

    // A copy of the earlier release in `folder`, with its record.
    void install_earlier(const std::string& folder) const
    {
        MakeFolder(folder);
        for (const char* member : MEMBERS)
            CopyFileA((earlier_ + "\\" + member).c_str(), (folder + "\\" + member).c_str(), FALSE);
        WriteRecord(RecordFor(folder, 1, 5));
    }
    // What the folder holds: one whole set of the seven files and nothing
    // else, or nothing, or anything else. The new set is the large one.
    Held held_in(const std::string& folder) const
    {
        std::vector<std::string> names = FilesIn(folder + "\\*");
        size_t old = 0, now = 0;
        for (const char* member : MEMBERS) {
            old += SameFile(folder + "\\" + member, earlier_ + "\\" + member);
            now += SameFile(folder + "\\" + member, WindowsPath(LARGE_PAYLOAD_DIR) + "\\" + member);
        }
        if (names.empty() || names.size() != 7)
            return names.empty() ? NOTHING : A_MIX;
        return old == 7 ? EARLIER_SET : now == 7 ? NEW_SET : A_MIX;
    }

private:
    std::string earlier_;
};

// Over the earlier copy, a copying that fails in its middle leaves that
// copy as it was: its seven files byte for byte, nothing else in the
// folder (the staging and backup folders gone), its record. A folder in
// the third file's place makes the commit fail after two new files went in
// and one earlier one aside (that copy lacks the second): all are moved
// back, and the copying's folders go.
TEST_F(Interrupted, AFailureInTheMiddleLeavesTheEarlierCopyAsItWas)
{
    const std::string broken = WriteFile(scratch() + "\\DAMAGED.ZIP", damaged(ReadFile(WindowsPath(DISTRIBUTION)), "UNINSTAL.EXE"));
    struct Case {
        const char* what;
        std::string folder, archive, held;
        DWORD exit;
        bool blocked = false;
    } cases[] = {
        {"the fifth member damaged", FOLDER, broken + "*" DISTRIBUTION_CODE, "", 4},
        {"a full disk", "E:\\Corvane", archive(), "", 6},
        {"the application running", FOLDER, archive(), FOLDER + "\\QVN32.EXE", 7},
        {"a move of the commit refused", FOLDER, archive(), "", 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.folder[0] == 'E' && !IsFolder("E:\\"))
            continue;  // no small drive E: where the test session does not run as root
        install_earlier(c.folder);
        const std::string record = ReadFile(RecordPath()), help = c.folder + "\\QVNHELP.HLP",
                          tutor = c.folder + "\\QVNTUTOR.HLP";
        if (c.blocked)
            DeleteFileA(help.c_str()), MakeFolder(help), DeleteFileA(tutor.c_str());
        HANDLE held = c.held.empty() ? INVALID_HANDLE_VALUE
                                     : CreateFileA(c.held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(c.exit, Session(quiet(c.archive), "").exitCode(60000));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_FALSE(Exists(c.folder + "\\~SETUP.OLD") || Exists(c.folder + STAGING));
        if (c.blocked) {
            EXPECT_TRUE(RemoveDirectoryA(help.c_str())) << "the folder in its place stays";
            EXPECT_FALSE(Exists(tutor)) << "the new one went back";
            WriteFile(help, "earlier QVNHELP.HLP"), WriteFile(tutor, "earlier QVNTUTOR.HLP");
        }
        EXPECT_EQ(HELD[EARLIER_SET], HELD[held_in(c.folder)]);
        EXPECT_EQ(record, ReadFile(RecordPath()));
        EXPECT_FALSE(UninstallEntryExists());
        EXPECT_FALSE(Exists(journal()));
        robot::RemoveTree(c.folder);
    }
}

// A commit that the next start cannot finish, since the application holds
// a file open, keeps its journal; so does a removal that stops, removing
// nothing, while the file is in use. Once it is free, a removal takes the
// staged files and the journal with the rest, so no later start brings a
// record back.
TEST_F(Interrupted, ARemovalTakesACopyingThatCouldNotBeFinished)
{
    install_earlier(FOLDER);
    MakeFolder(FOLDER + STAGING);
    for (const char* member : MEMBERS)
        WriteFile(FOLDER + STAGING + "\\" + member, member);
    WriteFile(journal(), journal_of('C', FOLDER));
    const std::string running = FOLDER + "\\QVN32.EXE";
    HANDLE held = CreateFileA(running.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(7u, Session(quiet("/wait=0 UNINSTALL"), "").exitCode(60000));
    CloseHandle(held);
    EXPECT_EQ(7u, FilesIn(FOLDER + STAGING + "\\*").size()) << "nothing removed";
    EXPECT_TRUE(Exists(journal()) && Exists(RecordPath()));
    EXPECT_EQ(1u, Session(quiet("UNINSTALL"), "").exitCode(60000));
    EXPECT_FALSE(Exists(FOLDER));
    EXPECT_FALSE(Exists(journal()));
    EXPECT_EQ(2u, Session(quiet("/verify"), "").exitCode(60000));
    EXPECT_FALSE(Exists(RecordPath()));
}

// A journal of a drive not there now, of another volume than the drive
// holds now, or of a folder that is a link, is kept for later and not
// acted on; one whose folder is gone goes without a record, one not of
// this setup goes, and one another setup holds is left to it.
TEST_F(Interrupted, AJournalThatCannotBeActedOnIsEndedSafely)
{
    const std::string linked = scratch() + "\\linked";
    MakeFolder(scratch() + "\\elsewhere");
    ASSERT_TRUE(MakeLink(linked, scratch() + "\\elsewhere"));
    struct Case {
        std::string journal, logged;
        bool held, kept;
    } cases[] = {
        {journal_of('S', "Q:\\Corvane", 1), "Q:\\Corvane cannot be reached", false, true},
        {journal_of('C', "C:\\Gone", 0x1234abcd), "C:\\Gone is on another volume than the copying's", false, true},
        {journal_of('C', "C:\\Gone"), "C:\\Gone holds no copy; nothing is recorded", false, false},
        {journal_of('C', linked), linked + " leads elsewhere", false, true},
        {"C\r\nC:\\Gone\r\n", "not one of this Setup's; removed", false, false},
        {journal_of('S', FOLDER), "another Setup is copying; left to it", true, true},
    };
    for (const Case& c : cases) {
        const std::string log = WriteFile(scratch() + "\\setup.log", "");
        WriteFile(journal(), c.journal);
        HANDLE held = c.held ? CreateFileA(journal().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
        EXPECT_EQ(2u, Session(quiet("/log=" + log + " /verify"), "").exitCode(60000));
        CloseHandle(held);
        EXPECT_EQ(c.kept, Exists(journal())) << c.journal;
        EXPECT_NE(std::string::npos, ReadFile(log).find(c.logged)) << c.journal;
        EXPECT_FALSE(Exists(RecordPath()));
    }
}

// Where a kill fell, told by the journal it left.
enum Phase { BEFORE, STAGING, COMMIT };
const char* const PHASES[] = {"before the copying", "while staging", "in the commit"};

// The watched functions: the library's writes, the renames of the library
// and of the commit, and the steps after the commit.
const std::vector<std::string> WATCHED = {"WriteFile", "MoveFileExA", "WritePrivateProfileStringA", "RemoveDirectoryA",
                                          "DeleteFileA"};
enum { WRITES, MOVES, RECORD, REMOVALS, DELETIONS };
const int COMMIT_MOVES = 14;  // over a copy: seven files aside, seven in

// A moment of a quiet installation: the nth entry of a watched function,
// as a share of the calls a whole run over the earlier copy makes (the
// first for 0, the last for 1), or the nth of the commit's renames.
struct Moment {
    size_t function;
    double share;
    int ofCommit = 0;
    bool overACopy = true, removal = false;  // else a first installation; the next start removes it
    int call(const robot::StoppedRun& whole) const
    {
        int calls = whole.calls[function];
        return ofCommit ? calls - COMMIT_MOVES + ofCommit : std::max(1, static_cast<int>(std::lround(share * calls)));
    }
};

// Killed at many moments of a quiet installation, over the earlier copy
// and as a first installation: after each kill, the next start of the
// setup, with a switch it refuses and so does nothing else, leaves the
// earlier set (or nothing) or the whole new set with its record; a
// removal leaves nothing at all. Kills during the staging, which writes
// the members, fall at shares of the run's writes; kills in the commit at
// its renames and at the steps after them.
TEST_F(Interrupted, AKillAtAnyMomentLeavesTheEarlierSetOrTheNew)
{
    const std::string log = scratch() + "\\setup.log", install = quiet("/log=" + log + " " + large());
    install_earlier(FOLDER);
    robot::StoppedRun whole = robot::RunStoppingAt(install, WATCHED);
    ASSERT_EQ(1u, whole.exitCode) << "a whole run, watched";
    ASSERT_GE(whole.calls[MOVES], COMMIT_MOVES);
    ASSERT_EQ(HELD[NEW_SET], HELD[held_in(FOLDER)]);
    const std::string newRecord = ReadFile(RecordPath());

    const std::vector<Moment> moments = {
        {WRITES, 0}, {WRITES, 0.05}, {WRITES, 0.15}, {WRITES, 0.3}, {WRITES, 0.45}, {WRITES, 0.6}, {WRITES, 0.75},
        {WRITES, 0.9}, {WRITES, 0.99}, {MOVES, 0, 1}, {MOVES, 0, 2}, {MOVES, 0, 8}, {MOVES, 0, 14}, {RECORD, 0},
        {REMOVALS, 1}, {DELETIONS, 1},
        {WRITES, 0.5, 0, false}, {MOVES, 0, 3, false}, {WRITES, 0.5, 0, false, true}, {MOVES, 0, 3, false, true},
    };
    int fell[3] = {};
    for (const Moment& moment : moments) {
        const int call = moment.call(whole);
        SCOPED_TRACE(WATCHED[moment.function] + " #" + std::to_string(call) + (moment.overACopy ? "" : ", first") +
                     (moment.removal ? ", removed" : ""));
        clean();
        if (moment.overACopy)
            install_earlier(FOLDER);
        else
            WriteRecord("");
        const std::string recordBefore = ReadFile(RecordPath());
        // Only the function it stops at is watched: each call watched
        // costs the run a round trip to this process.
        robot::StoppedRun run = robot::RunStoppingAt(install, {WATCHED[moment.function]}, 0, call);
        ASSERT_TRUE(run.killed) << "watched, and killed at the call";
        const std::string left = ReadFile(journal());
        Phase phase = left.empty() ? BEFORE : left[0] == 'C' ? COMMIT : STAGING;
        ++fell[phase];

        DeleteFileA(log.c_str());
        if (moment.removal) {
            EXPECT_EQ(1u, Session(quiet("/log=" + log + " UNINSTALL"), "").exitCode(60000));
            EXPECT_FALSE(Exists(FOLDER)) << "nothing left, staged or kept aside";
            EXPECT_FALSE(Exists(RecordPath()));
        } else {
            EXPECT_EQ(2u, Session(quiet("/log=" + log + " /verify"), "").exitCode(60000));
            Held held = held_in(FOLDER);
            Held before = moment.overACopy ? EARLIER_SET : NOTHING;
            EXPECT_EQ(phase >= COMMIT ? HELD[NEW_SET] : HELD[before], HELD[held]) << PHASES[phase];
            EXPECT_EQ(held == NEW_SET ? newRecord : recordBefore, ReadFile(RecordPath()));
            EXPECT_EQ(held == NEW_SET, UninstallEntryExists());
        }
        EXPECT_FALSE(Exists(journal())) << ReadFile(log);
        if (phase == STAGING || phase == COMMIT) {
            EXPECT_NE(std::string::npos, ReadFile(log).find(phase == COMMIT ? "stopped in its commit, and is finished"
                                                                           : "stopped before its commit, and is undone"));
        }
    }
    std::printf("%zu kills: %d %s, %d %s, %d %s\n", moments.size(), fell[BEFORE], PHASES[BEFORE], fell[STAGING],
                PHASES[STAGING], fell[COMMIT], PHASES[COMMIT]);
    EXPECT_GE(fell[STAGING], 8);
    EXPECT_GE(fell[COMMIT], 8);
}

}  // namespace
