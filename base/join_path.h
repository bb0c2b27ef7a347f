// Folder-and-name joining, the one way every program of the setup builds a
// path: SETUP.EXE, the unzip library and UNINSTAL.EXE.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_JOIN_PATH_H
#define CORVANE_JOIN_PATH_H

enum { PATH_CHARS = 260 };  // one path, terminator included: MAX_PATH

// destination = folder + '\' (unless folder already ends in one) + name,
// in a buffer of PATH_CHARS. A result that would not fit is not cut into
// another path: destination is left empty and the result is false.
bool JoinPath(char* destination, const char* folder, const char* name);

#endif
