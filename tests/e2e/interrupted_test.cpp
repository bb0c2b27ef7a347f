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

std::string earlier(const std::string& member)
{
    return "earlier " + member;
}

std::string journal()
{
    const std::string record = RecordPath();
    return record.substr(0, record.rfind('\\')) + "\\QVN32.JNL";
}

// A copy of the earlier release in `folder`, with its record.
void install_earlier(const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* member : MEMBERS)
        WriteFile(folder + "\\" + member, earlier(member));
    WriteRecord(RecordFor(folder, 1, 5));
}

uint64_t size_of(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return ~0ull;
    return static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

enum Held { NOTHING, EARLIER_SET, NEW_SET, A_MIX };
const char* const HELD[] = {"nothing", "the earlier set", "the new set", "a mix"};

// What the folder holds: one whole set of the seven files and nothing
// else, or nothing, or anything else.
Held held_in(const std::string& folder, const std::string& payload)
{
    std::vector<std::string> names = FilesIn(folder + "\\*");
    if (names.empty())
        return NOTHING;
    if (names.size() != 7)
        return A_MIX;
    size_t old = 0, now = 0;
    for (const char* member : MEMBERS) {
        const std::string file = folder + "\\" + member;
        bool earlierOne = size_of(file) == earlier(member).size() && ReadFile(file) == earlier(member);
        old += earlierOne;
        now += !earlierOne && SameFile(file, payload + "\\" + member);
    }
    return old == 7 ? EARLIER_SET : now == 7 ? NEW_SET : A_MIX;
}

// An archive with one byte of a member's data changed: its CRC or its
// inflating fails, as for a damaged download.
std::string damaged(std::string archive, const std::string& member)
{
    size_t header = archive.find("PK\x03\x04");
    while (header != std::string::npos && archive.compare(header + 30, member.size(), member) != 0)
        header = archive.find("PK\x03\x04", header + 4);
    if (header == std::string::npos)
        return "";
    auto word = [&](size_t at) { return static_cast<unsigned char>(archive[at]) | static_cast<unsigned char>(archive[at + 1]) << 8; };
    size_t data = header + 30 + word(header + 26) + word(header + 28);
    size_t size = word(header + 18) | static_cast<size_t>(word(header + 20)) << 16;
    archive[data + size / 2] ^= 0x55;
    return archive;
}

class Interrupted : public DistributionTest {
protected:
    void TearDown() override
    {
        DeleteFileA(journal().c_str());
        DistributionTest::TearDown();
    }
    static std::string large() { return WindowsPath(LARGE_DISTRIBUTION) + "*" DISTRIBUTION_CODE; }
    static std::string large_payload() { return WindowsPath(LARGE_PAYLOAD_DIR); }
    std::string quiet(const std::string& switches) const
    {
        return "\"" + program() + "\" /quiet /noicons " + switches;
    }
};

// Over the earlier copy, a copying that fails in its middle leaves that
// copy as it was: its seven files byte for byte, nothing else in the
// folder, its record.
TEST_F(Interrupted, AFailureInTheMiddleLeavesTheEarlierCopyAsItWas)
{
    const std::string broken = WriteFile(scratch() + "\\DAMAGED.ZIP", damaged(ReadFile(WindowsPath(DISTRIBUTION)), "UNINSTAL.EXE"));
    struct Case {
        const char* what;
        std::string folder, archive, held;
        DWORD exit;
    } cases[] = {
        {"the fifth member damaged", FOLDER, broken + "*" DISTRIBUTION_CODE, "", 4},
        {"a full disk", "E:\\Corvane", archive(), "", 6},
        {"the application running", FOLDER, archive(), FOLDER + "\\QVN32.EXE", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.folder[0] == 'E' && !IsFolder("E:\\"))
            continue;  // no small drive E: where the test session does not run as root
        install_earlier(c.folder);
        const std::string record = ReadFile(RecordPath());
        HANDLE held = c.held.empty() ? INVALID_HANDLE_VALUE
                                     : CreateFileA(c.held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(c.exit, Session(quiet(c.archive), "").exitCode(60000));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ(HELD[EARLIER_SET], HELD[held_in(c.folder, WindowsPath(PAYLOAD_DIR))]);
        EXPECT_EQ(record, ReadFile(RecordPath()));
        EXPECT_FALSE(UninstallEntryExists());
        EXPECT_FALSE(Exists(journal()));
        robot::RemoveTree(c.folder);
    }
}

// Where a kill fell, told by what it left for the next start.
enum Phase { BEFORE, STAGING, COMMIT, AFTER };
const char* const PHASES[] = {"before the copying", "while staging", "in the commit", "after the commit"};

Phase phase_left(const std::string& folder, const std::string& payload)
{
    std::string text = ReadFile(journal());
    if (!text.empty())
        return text[0] == 'C' ? COMMIT : STAGING;
    return held_in(folder, payload) == NEW_SET ? AFTER : BEFORE;
}

// The watched functions: the library's writes, the renames of the library
// and of the commit, and the steps after the commit.
const std::vector<std::string> WATCHED = {"WriteFile", "MoveFileExA", "WritePrivateProfileStringA", "RemoveDirectoryA",
                                          "DeleteFileA"};
enum { WRITES, MOVES, RECORD, REMOVALS, DELETIONS };
const int COMMIT_MOVES = 14;  // over a copy: seven files aside, seven in

// A moment of a quiet installation: the nth entry of a watched function,
// as a share of the calls a whole run over the earlier copy makes (the
// first for 0), or the nth of the commit's renames, or the last call.
struct Moment {
    size_t function;
    double share = 0;
    int ofCommit = 0;
    bool last = false;
    bool overACopy = true;  // else a first installation
    bool removal = false;   // the next start removes the installation
    int call(const robot::StoppedRun& whole) const
    {
        int calls = whole.calls[function];
        if (ofCommit)
            return calls - COMMIT_MOVES + ofCommit;
        return last ? calls : std::max(1, static_cast<int>(std::lround(share * calls)));
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
    ASSERT_TRUE(whole.started);
    ASSERT_EQ(1u, whole.exitCode) << "a whole run, watched";
    ASSERT_GE(whole.calls[MOVES], COMMIT_MOVES);
    ASSERT_EQ(HELD[NEW_SET], HELD[held_in(FOLDER, large_payload())]);
    const std::string newRecord = ReadFile(RecordPath());

    std::vector<Moment> moments;
    for (double share : {0.0, 0.05, 0.15, 0.3, 0.45, 0.6, 0.75, 0.9, 0.99})
        moments.push_back({WRITES, share});
    for (int move : {1, 2, 8, 14})
        moments.push_back({MOVES, 0, move});
    moments.push_back({RECORD, 0, 0, false});
    moments.push_back({REMOVALS, 0, 0, true});
    moments.push_back({DELETIONS, 0, 0, true});
    for (bool removal : {false, true}) {
        moments.push_back({WRITES, 0.5, 0, false, false, removal});
        moments.push_back({MOVES, 0, 3, false, false, removal});
    }
    int fell[4] = {};
    for (const Moment& moment : moments) {
        const int call = moment.call(whole);
        SCOPED_TRACE(WATCHED[moment.function] + " #" + std::to_string(call) +
                     (moment.overACopy ? " over the earlier copy" : " of a first installation") +
                     (moment.removal ? ", then a removal" : ""));
        clean();
        if (moment.overACopy)
            install_earlier(FOLDER);
        else
            WriteRecord("");
        const std::string recordBefore = ReadFile(RecordPath());
        // Only the function it stops at is watched: each call watched
        // costs the run two round trips to this process.
        robot::StoppedRun run = robot::RunStoppingAt(install, {WATCHED[moment.function]}, 0, call);
        ASSERT_TRUE(run.started);
        ASSERT_TRUE(run.killed);
        Phase phase = phase_left(FOLDER, large_payload());
        ++fell[phase];

        DeleteFileA(log.c_str());
        if (moment.removal) {
            EXPECT_EQ(1u, Session(quiet("/log=" + log + " UNINSTALL"), "").exitCode(60000));
            EXPECT_FALSE(Exists(FOLDER)) << "nothing left, staged or kept aside";
            EXPECT_FALSE(Exists(RecordPath()));
        } else {
            EXPECT_EQ(2u, Session(quiet("/log=" + log + " /verify"), "").exitCode(60000));
            Held held = held_in(FOLDER, large_payload());
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
    std::printf("%zu kills: %d %s, %d %s, %d %s, %d %s\n", moments.size(), fell[BEFORE], PHASES[BEFORE],
                fell[STAGING], PHASES[STAGING], fell[COMMIT], PHASES[COMMIT], fell[AFTER], PHASES[AFTER]);
    EXPECT_GE(fell[STAGING], 8);
    EXPECT_GE(fell[COMMIT], 8);
}

}  // namespace
