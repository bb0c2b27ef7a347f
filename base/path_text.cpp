#include "path_text.h"

#include <string.h>

const char* NextChar(const char* at, UINT codePage)
{
    if (*at == '\0')
        return at;
    return IsDBCSLeadByteEx(codePage, static_cast<BYTE>(*at)) && at[1] != '\0' ? at + 2 : at + 1;
}

const char* LastOf(const char* text, const char* separators, UINT codePage)
{
    const char* last = nullptr;
    for (const char* at = text; *at != '\0'; at = NextChar(at, codePage))
        if (strchr(separators, *at))
            last = at;
    return last;
}

const char* LevelEnd(const char* level, UINT codePage)
{
    while (*level != '\0' && *level != '\\')
        level = NextChar(level, codePage);
    return level;
}

bool EndsInSeparator(const char* path, UINT codePage)
{
    const char* last = LastOf(path, "\\", codePage);
    return last && last[1] == '\0';
}

bool JoinPath(char* destination, const char* folder, const char* name, UINT codePage)
{
    size_t folderLength = strlen(folder);
    bool separator = !EndsInSeparator(folder, codePage);
    size_t nameLength = strlen(name);
    if (folderLength + separator + nameLength >= PATH_CHARS) {
        destination[0] = '\0';
        return false;
    }
    memmove(destination, folder, folderLength);
    if (separator)
        destination[folderLength++] = '\\';
    memmove(destination + folderLength, name, nameLength + 1);
    return true;
}
