// System DLLs from the system folder only. SETUP.EXE runs elevated, often
// from a downloads folder anyone with the user's rights can write to, and
// Windows' default search looks in the program's own folder first: a DLL
// that a system DLL loads on demand could be picked up from beside it.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_SYSTEM_DLLS_H
#define CORVANE_SYSTEM_DLLS_H

// First thing at entry: later loads by name search the system folder only
// (the imports, DUNZIP32.DLL among them, are resolved before the entry
// runs). A system without SetDefaultDllDirectories searches as it always
// did.
void SearchSystemFolderOnly();

#endif
