// DUNZIP32.DLL under Wine, timed: extracts the named members one request
// at a time, as the setup does, and prints the seconds it took.
//
//   dll_extract.exe DLL ARCHIVE FOLDER CODE MEMBER...   (CODE "-" for none)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

typedef int(__stdcall* Dunzip)(const void* request);

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
        unsigned char request[142] = {};
        auto put = [&](int offset, int32_t value) { memcpy(request + offset, &value, 4); };
        auto point = [&](int offset, const char* text) { memcpy(request + offset, &text, 4); };
        put(0, 142);
        put(4, 8);
        put(20, -1);
        for (int offset : {36, 40, 48, 56, 92})
            put(offset, 1);
        point(8, argv[2]);
        point(16, argv[i]);
        point(24, argv[3]);
        point(96, code.c_str());
        int result = dunzip(request);
        if (result != 0) {
            std::fprintf(stderr, "%s: result %d\n", argv[i], result);
            return 1;
        }
    }
    QueryPerformanceCounter(&end);
    std::printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return 0;
}
