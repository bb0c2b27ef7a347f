// The command line: switches for an unattended run, then "ARCHIVE*CODE"
// to install or "UNINSTALL" to remove.
#include <string.h>

#include "driver/driver.h"
#include "install/install.h"
#include "record/record.h"

enum { SPLIT_LIMIT = 255 };  // positions of the tail that are looked at

// The command line without the program name and the blanks and control
// characters after it. Computed here rather than taken from the C
// runtime's start-up code, whose rule for quotes is its own.
const char* CommandTail(const char* commandLine)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p > ' ')
            ++p;
    }
    while (*p != '\0' && *p <= ' ')
        ++p;
    return reinterpret_cast<const char*>(p);
}

static bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

enum SwitchName { QUIET_SWITCH, PASSIVE_SWITCH, DIR_SWITCH, LOG_SWITCH, NO_ICONS_SWITCH, UNKNOWN_SWITCH };
struct SwitchRow {
    const char* name;  // as typed after the slash, in any case
    bool takesValue;
};
static const SwitchRow SwitchRows[UNKNOWN_SWITCH] = {
    {"quiet", false}, {"passive", false}, {"dir", true}, {"log", true}, {"noicons", false},
};

static SwitchName switch_named(const char* name, size_t length)
{
    for (int i = 0; i < UNKNOWN_SWITCH; ++i)
        if (length == strlen(SwitchRows[i].name) &&
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, static_cast<int>(length), SwitchRows[i].name,
                           static_cast<int>(length)) == CSTR_EQUAL)
            return static_cast<SwitchName>(i);
    return UNKNOWN_SWITCH;
}

// One switch word, taken apart.
struct SwitchWord {
    char text[PATH_CHARS];  // the word as given, cut to fit for the message
    SwitchName name;
    bool hasValue;
    bool wellFormed;  // a quoted value closes its quote and ends the word
    bool valueFits;
    char value[PATH_CHARS];
};

// Reads the word at p, a slash, into word; returns where the next word
// starts, after the blanks.
static const char* read_switch_word(const char* p, SwitchWord& word)
{
    const char* start = p;
    const char* name = ++p;
    while (*p != '\0' && !is_blank(*p) && *p != '=')
        ++p;
    word.name = switch_named(name, static_cast<size_t>(p - name));
    word.hasValue = *p == '=';
    word.wellFormed = true;
    word.valueFits = true;
    word.value[0] = '\0';
    if (word.hasValue) {
        bool quoted = *++p == '"';
        if (quoted)
            ++p;
        const char* value = p;
        while (*p != '\0' && (quoted ? *p != '"' : !is_blank(*p)))
            ++p;
        size_t length = static_cast<size_t>(p - value);
        word.valueFits = length < PATH_CHARS;
        if (word.valueFits)
            lstrcpynA(word.value, value, static_cast<int>(length) + 1);
        if (quoted && *p == '"')
            ++p;
        else if (quoted)
            word.wellFormed = false;
    }
    if (*p != '\0' && !is_blank(*p)) {
        word.wellFormed = false;
        while (*p != '\0' && !is_blank(*p))
            ++p;
    }
    int length = static_cast<int>(p - start) + 1;
    lstrcpynA(word.text, start, length < PATH_CHARS ? length : static_cast<int>(PATH_CHARS));
    // A word that swallowed the tail (an unclosed quote, a missing blank)
    // may hold the decrypt code; what follows a star is never told.
    if (char* star = strchr(word.text, '*'))
        lstrcpynA(star + 1, "****", static_cast<int>(word.text + PATH_CHARS - (star + 1)));
    while (is_blank(*p))
        ++p;
    return p;
}

// Takes one switch into switches; false, with the reason in refusal, when
// it is unknown or its value is bad.
static bool take_switch(const SwitchWord& word, Switches& switches, char* refusal)
{
    const char* why = nullptr;
    if (word.name == UNKNOWN_SWITCH)
        why = "Setup knows no such switch.\n\n"
              "It knows /quiet, /passive, /dir=FOLDER, /log=FILE and /noicons.";
    else if (!word.wellFormed)
        why = "the switch is not well formed. A value with blanks goes in double quotes, as in\n\n"
              "/dir=\"C:\\Program files\\Corvane Pro\"";
    else if (word.hasValue != SwitchRows[word.name].takesValue)
        why = word.hasValue ? "this switch takes no value." : "this switch needs a value, as in /dir=FOLDER.";
    else if (word.hasValue && (!word.valueFits || word.value[0] == '\0'))
        why = word.valueFits ? "the value is empty." : "the value is too long.";
    if (!why) {
        switch (word.name) {
        case QUIET_SWITCH:
        case PASSIVE_SWITCH: {
            RunMode mode = word.name == QUIET_SWITCH ? QUIET : PASSIVE;
            if (switches.mode != INTERACTIVE && switches.mode != mode)
                why = "only one of /quiet and /passive can be given.";
            else
                switches.mode = mode;
            break;
        }
        case DIR_SWITCH:
            // The same folder every step will use, as INSTALL takes it.
            switch (AcceptTargetFolder(word.value, switches.folder)) {
            case FOLDER_NOT_FULL_PATH:
                why = "the folder must be a full path that begins with a drive letter, for example\n\n"
                      "C:\\Program files\\Corvane Pro";
                break;
            case FOLDER_TOO_LONG:
                why = "the folder name is too long for the files that go into it.";
                break;
            case FOLDER_ACCEPTED:
                break;
            }
            break;
        case LOG_SWITCH:
            lstrcpynA(switches.log, word.value, PATH_CHARS);
            break;
        case NO_ICONS_SWITCH:
            switches.noIcons = true;
            break;
        case UNKNOWN_SWITCH:
            break;
        }
    }
    if (why)
        wsprintfA(refusal, "%s: %s", word.text, why);
    return !why;
}

// Leading words "/name" or "/name=value" (quoted when it holds blanks),
// and the blanks after them. A tail that does not begin with a slash has
// none, and the rest is the whole tail, as it always was.
const char* ReadSwitches(const char* tail, Switches& switches, char* refusal)
{
    switches = Switches();
    refusal[0] = '\0';
    const char* p = tail;
    while (*p == '/') {
        SwitchWord word;
        p = read_switch_word(p, word);
        char reason[REFUSAL_CHARS];
        if (!take_switch(word, switches, reason) && refusal[0] == '\0')
            lstrcpynA(refusal, reason, REFUSAL_CHARS);
    }
    return p;
}

// The command line goes to the log with the decrypt code, everything
// after the first star of the tail, as "****". No switch holds a star, so
// this is the code's star, also where a switch swallowed the rest.
void LogCommandLine(const char* commandLine, const char* tail)
{
    char line[FIELD_CHARS * 3];  // within what a log line holds
    const char* star = strchr(tail, '*');
    size_t shown = star ? static_cast<size_t>(star - commandLine) + 1 : strlen(commandLine);
    if (shown > sizeof line - 5)
        shown = sizeof line - 5;
    memcpy(line, commandLine, shown);
    lstrcpyA(line + shown, star ? "****" : "");
    LogLine("Command line: %s", line);
}

// Splits the tail at its first '*' into ArchivePath and DecryptCode.
// Later stars are dropped, and the limit counts positions in the whole
// tail, so the second field ends where the tail reaches position 255.
void SplitCommandLine(const char* tail)
{
    memset(State.ArchivePath, 0, sizeof State.ArchivePath);
    memset(State.DecryptCode, 0, sizeof State.DecryptCode);

    int i = 0;
    for (;;) {
        char c = tail[i];
        if (c != '*')
            State.ArchivePath[i] = c;
        if (c == '\0' || c == '*')
            break;
        if (++i == SPLIT_LIMIT)
            break;
    }

    int j = 0;
    for (; i < SPLIT_LIMIT; ++i) {
        char c = tail[i];
        if (c != '*')
            State.DecryptCode[j++] = c;
        if (c == '\0')
            break;
    }
}

// The first ten bytes must be the word and its terminator, so the match
// is exact: "UNINSTALL " and "uninstall" are archive paths.
bool IsUninstallWord(const char* field)
{
    return strcmp(field, "UNINSTALL") == 0;
}
