#include "join_path.h"

#include <string.h>

bool JoinPath(char* destination, const char* folder, const char* name)
{
    size_t folderLength = strlen(folder);
    bool separator = folderLength == 0 || folder[folderLength - 1] != '\\';
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
