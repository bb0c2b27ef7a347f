// DUNZIP32.DLL under Wine, timed: extracts the named members one request
// at a time, as the setup does, and prints the seconds it took.
//
//   dll_extract.exe DLL ARCHIVE FOLDER CODE MEMBER...   (CODE "-" for none)
#include <windows.h>

#include <cstdio>
#include <string>

#include "unzip_request.h"

typedef int(__stdcall* Dunzip)(const UnzipRequest* request);

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: dll_extract DLL ARCHIVE FOLDER CODE MEMBER...\n");
        return 2;
    }
    HMODULE library = LoadLibraryA(argv[1]);
    Dunzip dunzip = reinterpret_cast<Dunzip>(reinterpret_cast<void*>(GetProcAddress(library, "dunzip")));
    if (!dunzip)
        return 1;
    std::string code = std::string(argv[4]) == "-" ? "" : argv[4];
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 5; i < argc; ++i) {
        UnzipRequest request = MakeUnzipRequest(argv[2], argv[i], argv[3], code.c_str());
        int result = dunzip(&request);
        if (result != 0) {
            std::fprintf(stderr, "%s: result %d\n", argv[i], result);
            return 1;
        }
    }
    QueryPerformanceCounter(&end);
    std::printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return 0;
}
