// System DLLs from the system folder only. SETUP.EXE runs elevated, often
// from a downloads folder anyone with the user's rights can write to, and
// Windows' default search looks in the program's own folder first: a DLL
// that a system DLL loads on demand could be picked up from beside it.
//
// The same holds while a program starts, before its first line: the loader
// finds the DLLs it imports, and the DLLs that their imported exports
// forward to, by that search, unless they are KnownDLLs. So the programs
// import only what KnownDLLs implement themselves, and look up everything
// else here, once the search is restricted.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_SYSTEM_DLLS_H
#define CORVANE_SYSTEM_DLLS_H

// First thing at entry: later loads by name search the system folder only
// (the imports, DUNZIP32.DLL among them, are resolved before the entry
// runs). A system without SetDefaultDllDirectories searches as it always
// did.
void SearchSystemFolderOnly();

// A function of a system DLL, null where the system has none: one that
// older systems lack, one of a DLL that is no KnownDLL, or one that
// forwards to such a DLL (ADVAPI32's SystemFunction036 to CRYPTBASE.DLL).
// After SearchSystemFolderOnly, on a system that has
// SetDefaultDllDirectories, the DLL, and any that the function forwards
// to, comes from the system folder. It stays loaded.
void* SystemFunction(const char* library, const char* name);

#endif
