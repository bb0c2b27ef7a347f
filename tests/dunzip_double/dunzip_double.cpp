// A stand-in for the unzip library DUNZIP32.DLL, for the walks through the
// copying. It answers what "dunzip-script.txt" beside it says and writes
// down every request in "dunzip-requests.log" beside it.
//
// Script, one line a member:  MEMBER RESULT [DELAY_MS]
//   "*" as MEMBER stands for every member without a line of its own; a
//   member without any line gets 0 at once.
// Log, one line a request, fields separated by one blank:
//   the bytes of the request in hex (142 on Win32, 158 on Win64); the
//   texts at its four addresses (archive, member, folder, decrypt code),
//   each as "=" and its bytes in hex, or "-" for a null address; 1 when the
//   wait cursor was showing during the call, else 0.
// For a result of 0 it writes the member into the folder, so a test can
// see which files were "extracted".
#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "request_layout.h"

namespace {

std::string g_folder;  // this DLL's folder

std::string hex(const void* data, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    const unsigned char* p = static_cast<const unsigned char*>(data);
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

const char* address_at(const unsigned char* request, int offset)
{
    const char* text = nullptr;
    memcpy(&text, request + offset, sizeof text);
    return text;
}

std::string text_at(const unsigned char* request, int offset)
{
    const char* text = address_at(request, offset);
    return text ? "=" + hex(text, strlen(text)) : std::string("-");
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return s;
}

// The answer for a member: result and delay.
void answer_for(const std::string& member, int* result, int* delay)
{
    *result = 0;
    *delay = 0;
    std::ifstream script(g_folder + "\\dunzip-script.txt");
    std::string line;
    bool exact = false;
    while (std::getline(script, line)) {
        std::istringstream fields(line);
        std::string name;
        int r = 0, d = 0;
        if (!(fields >> name >> r))
            continue;
        fields >> d;
        if (upper(name) == upper(member)) {
            *result = r;
            *delay = d;
            exact = true;
        } else if (name == "*" && !exact) {
            *result = r;
            *delay = d;
        }
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH];
        GetModuleFileNameA(instance, path, MAX_PATH);
        g_folder = path;
        g_folder = g_folder.substr(0, g_folder.find_last_of('\\'));
    }
    return TRUE;
}

extern "C" __declspec(dllexport) int __stdcall dunzip(const unsigned char* request)
{
    bool waitCursor = GetCursor() == LoadCursorA(nullptr, IDC_WAIT);
    {
        std::ofstream log(g_folder + "\\dunzip-requests.log", std::ios::app);
        const layout::RequestLayout& at = layout::REQUEST;
        log << hex(request, at.size) << ' ' << text_at(request, at.archive) << ' ' << text_at(request, at.member)
            << ' ' << text_at(request, at.folder) << ' ' << text_at(request, at.code) << ' ' << (waitCursor ? 1 : 0)
            << '\n';
    }

    const char* member = address_at(request, layout::REQUEST.member);
    const char* folder = address_at(request, layout::REQUEST.folder);
    int result, delay;
    answer_for(member, &result, &delay);
    if (delay > 0)
        Sleep(delay);
    if (result == 0) {
        std::string target = folder;
        if (target.empty() || target.back() != '\\')
            target += '\\';
        std::ofstream(target + member) << "extracted by the test double\n";
    }
    return result;
}
