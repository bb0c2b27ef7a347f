// A stand-in for the unzip library DUNZIP32.DLL, for the walks through the
// copying. It answers what "dunzip-script.txt" beside it says, one line a
// member, "MEMBER RESULT [DELAY_MS]" ("*" for every member without a line
// of its own; no line: 0 at once), and writes down every request in
// "dunzip-requests.log" beside it, one line each, fields separated by "|":
// the record's bytes in hex, the texts at its four addresses (archive,
// member, folder, code; "-" for a null one), and 1 when the wait cursor
// showed during the call. For a result of 0 it writes the member into the
// folder.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "request_layout.h"

static std::string g_folder;  // this DLL's folder

static std::string hex(const void* data, size_t size)
{
    std::string out;
    char digits[3];
    for (size_t i = 0; i < size; ++i) {
        sprintf(digits, "%02x", static_cast<const unsigned char*>(data)[i]);
        out += digits;
    }
    return out;
}

static const char* address_at(const unsigned char* request, int offset)
{
    const char* text = nullptr;
    memcpy(&text, request + offset, sizeof text);
    return text;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    char path[MAX_PATH];
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameA(instance, path, MAX_PATH))
        g_folder = std::string(path).substr(0, std::string(path).find_last_of('\\'));
    return TRUE;
}

extern "C" __declspec(dllexport) int __stdcall dunzip(const unsigned char* request)
{
    const layout::RequestLayout& at = layout::REQUEST;
    std::ofstream log(g_folder + "\\dunzip-requests.log", std::ios::app);
    log << hex(request, at.size);
    for (int offset : {at.archive, at.member, at.folder, at.code}) {
        const char* text = address_at(request, offset);
        log << '|' << (text ? text : "-");
    }
    log << '|' << (GetCursor() == LoadCursorA(nullptr, IDC_WAIT)) << '\n';
    log.close();

    const std::string member = address_at(request, at.member);
    int result = 0, delay = 0;
    std::ifstream script(g_folder + "\\dunzip-script.txt");
    for (std::string line, name; std::getline(script, line);) {
        std::istringstream fields(line);
        int r = 0, d = 0;
        if ((fields >> name >> r) && (lstrcmpiA(name.c_str(), member.c_str()) == 0 || name == "*")) {
            fields >> d;
            result = r, delay = d;
            if (name != "*")
                break;
        }
    }
    Sleep(delay);
    if (result == 0)
        std::ofstream(std::string(address_at(request, at.folder)) + "\\" + member) << "extracted by the stand-in\n";
    return result;
}
