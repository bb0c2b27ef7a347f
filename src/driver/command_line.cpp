// The command line: switches for an unattended run, then "ARCHIVE*CODE"
// to install or "UNINSTALL" to remove. It is read in the wide form the
// system keeps it in: the ANSI one is converted best fit, so that a folder
// "Łódź" would arrive as "Lódz", another folder. Only the archive's path and
// its code, for the unzip library, and the folder, for the record, are
// taken into the code page, exactly or not at all.
#include <string.h>

#include "ansi_text.h"
#include "command_words.h"
#include "driver/driver.h"
#include "install/install.h"
#include "record/record.h"
#include "texts.h"

enum { SPLIT_LIMIT = 255 };  // positions of the tail that are looked at

static bool is_blank(WCHAR c)
{
    return c == L' ' || c == L'\t';
}

enum SwitchName {
    QUIET_SWITCH, PASSIVE_SWITCH, DIR_SWITCH, LOG_SWITCH, NO_ICONS_SWITCH, WAIT_SWITCH, CLOSE_SWITCH, UNKNOWN_SWITCH
};
struct SwitchRow {
    const WCHAR* name;  // as typed after the slash, in any case
    bool takesValue;
};
static const SwitchRow SwitchRows[UNKNOWN_SWITCH] = {
    {L"quiet", false},   {L"passive", false}, {L"dir", true}, {L"log", true}, {L"noicons", false},
    {L"wait", true}, {L"closeapplications", false},
};

// The longest wait for a file in use a run may be given: a day.
enum : DWORD { MOST_WAIT_SECONDS = 86400 };

// A number of seconds, in decimal digits alone, up to the longest wait.
static bool read_seconds(const WCHAR* value, DWORD* seconds)
{
    *seconds = 0;
    for (const WCHAR* digit = value; *digit != L'\0'; ++digit) {
        if (*digit < L'0' || *digit > L'9' || *seconds > MOST_WAIT_SECONDS)
            return false;
        *seconds = *seconds * 10 + static_cast<DWORD>(*digit - L'0');
    }
    return *seconds <= MOST_WAIT_SECONDS;
}

static SwitchName switch_named(const WCHAR* name, size_t length)
{
    for (int i = 0; i < UNKNOWN_SWITCH; ++i)
        if (CompareStringOrdinal(name, static_cast<int>(length), SwitchRows[i].name, -1, TRUE) == CSTR_EQUAL)
            return static_cast<SwitchName>(i);
    return UNKNOWN_SWITCH;
}

// One switch word, taken apart.
struct SwitchWord {
    WCHAR text[PATH_CHARS];  // the word as given, cut to fit for the message
    SwitchName name;
    bool hasValue;
    bool wellFormed;  // a quoted value closes its quote and ends the word
    bool valueFits;
    WCHAR value[PATH_CHARS];
};

// Reads the word at p, a slash, into word; returns where the next word
// starts, after the blanks.
static const WCHAR* read_switch_word(const WCHAR* p, SwitchWord& word)
{
    const WCHAR* start = p;
    const WCHAR* name = ++p;
    while (*p != L'\0' && !is_blank(*p) && *p != L'=')
        ++p;
    word.name = switch_named(name, static_cast<size_t>(p - name));
    word.hasValue = *p == L'=';
    word.wellFormed = true;
    word.valueFits = true;
    word.value[0] = L'\0';
    if (word.hasValue) {
        bool quoted = *++p == L'"';
        if (quoted)
            ++p;
        const WCHAR* value = p;
        while (*p != L'\0' && (quoted ? *p != L'"' : !is_blank(*p)))
            ++p;
        size_t length = static_cast<size_t>(p - value);
        word.valueFits = length < PATH_CHARS;
        if (word.valueFits)
            lstrcpynW(word.value, value, static_cast<int>(length) + 1);
        if (quoted && *p == L'"')
            ++p;
        else if (quoted)
            word.wellFormed = false;
    }
    if (*p != L'\0' && !is_blank(*p)) {
        word.wellFormed = false;
        while (*p != L'\0' && !is_blank(*p))
            ++p;
    }
    int length = static_cast<int>(p - start) + 1;
    lstrcpynW(word.text, start, length < PATH_CHARS ? length : static_cast<int>(PATH_CHARS));
    // A word that swallowed the tail (an unclosed quote, a missing blank)
    // may hold the decrypt code; what follows a star is never told.
    if (WCHAR* star = wcschr(word.text, L'*'))
        lstrcpynW(star + 1, L"****", static_cast<int>(word.text + PATH_CHARS - (star + 1)));
    while (is_blank(*p))
        ++p;
    return p;
}

// Takes one switch into switches; returns the text that says why it is
// refused when it is unknown or its value is bad, else 0.
static UINT take_switch(const SwitchWord& word, Switches& switches)
{
    UINT why = 0;
    if (word.name == UNKNOWN_SWITCH)
        why = IDS_SWITCH_UNKNOWN;
    else if (!word.wellFormed)
        why = IDS_SWITCH_MALFORMED;
    else if (word.hasValue != SwitchRows[word.name].takesValue)
        why = word.hasValue ? IDS_SWITCH_NO_VALUE : IDS_SWITCH_NEEDS_VALUE;
    else if (word.hasValue && (!word.valueFits || word.value[0] == '\0'))
        why = word.valueFits ? IDS_SWITCH_EMPTY : IDS_SWITCH_TOO_LONG;
    if (!why) {
        switch (word.name) {
        case QUIET_SWITCH:
        case PASSIVE_SWITCH: {
            RunMode mode = word.name == QUIET_SWITCH ? QUIET : PASSIVE;
            if (switches.mode != INTERACTIVE && switches.mode != mode)
                why = IDS_SWITCH_TWO_MODES;
            else
                switches.mode = mode;
            break;
        }
        case DIR_SWITCH:
            // The same folder every step will use, as INSTALL takes it.
            // One the code page cannot hold is no bad switch: it is told
            // as INSTALL tells it, once the run is under way.
            switch (AcceptTargetFolder(word.value, switches.folder)) {
            case FOLDER_NOT_IN_CODE_PAGE:
                lstrcpynW(switches.unheldFolder, word.value, PATH_CHARS);
                break;
            case FOLDER_NOT_FULL_PATH:
                why = IDS_SWITCH_NOT_FULL;
                break;
            case FOLDER_TOO_LONG:
                why = IDS_SWITCH_FOLDER_LONG;
                break;
            case FOLDER_ACCEPTED:
                break;
            }
            break;
        case LOG_SWITCH:
            lstrcpynW(switches.log, word.value, PATH_CHARS);
            break;
        case NO_ICONS_SWITCH:
            switches.noIcons = true;
            break;
        case WAIT_SWITCH:
            switches.waitGiven = read_seconds(word.value, &switches.waitSeconds);
            if (!switches.waitGiven)
                why = IDS_SWITCH_BAD_WAIT;
            break;
        case CLOSE_SWITCH:
            switches.closeApplications = true;
            break;
        case UNKNOWN_SWITCH:
            break;
        }
    }
    return why;
}

// Leading words "/name" or "/name=value" (quoted when it holds blanks),
// and the blanks after them. A tail that does not begin with a slash has
// none, and the rest is the whole tail, as it always was.
const WCHAR* ReadSwitches(const WCHAR* tail, Switches& switches, Refusal& refusal)
{
    switches = Switches();
    refusal.text = 0;
    const WCHAR* p = tail;
    while (*p == L'/') {
        SwitchWord word;
        p = read_switch_word(p, word);
        UINT why = take_switch(word, switches);
        if (why && !refusal.text) {
            refusal.text = why;
            lstrcpynW(refusal.word, word.text, PATH_CHARS);
        }
    }
    return p;
}

// The command line goes to the log with the decrypt code, everything
// after the first star of the tail, as "****". No switch holds a star, so
// this is the code's star, also where a switch swallowed the rest.
void LogCommandLine(const WCHAR* commandLine, const WCHAR* tail)
{
    WCHAR line[FIELD_CHARS * 3];  // within what a log line holds
    const WCHAR* star = wcschr(tail, L'*');
    size_t shown = star ? static_cast<size_t>(star - commandLine) + 1 : static_cast<size_t>(lstrlenW(commandLine));
    if (shown > ARRAYSIZE(line) - 5)
        shown = ARRAYSIZE(line) - 5;
    memcpy(line, commandLine, shown * sizeof *line);
    lstrcpynW(line + shown, star ? L"****" : L"", 5);
    char logged[LOG_TEXT_CHARS];
    LogLine("Command line: %s", LogText(line, logged));
}

// The archive's path and, after the star, the code, in the code page: the
// path, where the code page cannot hold it, by its short name; the code
// only exactly. Then split at the first '*' into ArchivePath and
// DecryptCode. Later stars are dropped, and the limit counts positions in
// the whole tail, so the second field ends where the tail reaches
// position 255.
TailTaken SplitCommandLine(const WCHAR* tail)
{
    memset(State.ArchivePath, 0, sizeof State.ArchivePath);
    memset(State.DecryptCode, 0, sizeof State.DecryptCode);

    // A field longer than the split looks at is cut: its end is never read.
    WCHAR archive[FIELD_CHARS], code[FIELD_CHARS];
    const WCHAR* star = wcschr(tail, L'*');
    int archiveChars = star ? static_cast<int>(star - tail) : lstrlenW(tail);
    lstrcpynW(archive, tail, (archiveChars < FIELD_CHARS ? archiveChars : FIELD_CHARS - 1) + 1);
    lstrcpynW(code, star ? star + 1 : L"", FIELD_CHARS);
    enum { FIELD_BYTES = 3 * FIELD_CHARS };  // a character takes 3 bytes at most, in UTF-8
    char text[2 * FIELD_BYTES];
    static char logged[LOG_TEXT_CHARS];  // not on the stack: with the fields, past a page of it
    TailTaken taken = TAIL_TAKEN;
    if (!ToCodePage(archive, text, FIELD_BYTES)) {
        if (AnsiPath(archive, text)) {
            LogLine("The archive %s is named by its short name %s", LogText(archive, logged), text);
        } else {
            LogLine("The archive %s has no name in the code page, short or long", LogText(archive, logged));
            taken = ARCHIVE_NOT_HELD;
        }
    }
    if (star) {
        size_t length = strlen(text);
        text[length] = '*';
        if (!ToCodePage(code, text + length + 1, FIELD_BYTES)) {
            LogLine("The decrypt code cannot be held in the code page");
            taken = CODE_NOT_HELD;
        }
    }

    int i = 0;
    for (;;) {
        char c = text[i];
        if (c != '*')
            State.ArchivePath[i] = c;
        if (c == '\0' || c == '*')
            break;
        if (++i == SPLIT_LIMIT)
            break;
    }

    int j = 0;
    for (; i < SPLIT_LIMIT; ++i) {
        char c = text[i];
        if (c != '*')
            State.DecryptCode[j++] = c;
        if (c == '\0')
            break;
    }
    return taken;
}

// The first ten bytes must be the word and its terminator, so the match
// is exact: "UNINSTALL " and "uninstall" are archive paths.
bool IsUninstallWord(const char* field)
{
    return strcmp(field, "UNINSTALL") == 0;
}
