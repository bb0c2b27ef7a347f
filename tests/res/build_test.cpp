// What was built, read from the files themselves: SETUP.EXE has its icons
// and logo, and what ships binds only what it may and is of its build's
// architecture.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "robot.h"

namespace {

// The walks open every template by name; nothing opens the icons and the
// logo but the screen, where a missing one would only be missed.
TEST(Resources, TheIconsAndTheLogoAreThere)
{
    HMODULE setup = LoadLibraryExA(robot::SetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    for (int icon : {136, 137})
        EXPECT_TRUE(FindResourceA(setup, MAKEINTRESOURCEA(icon), RT_GROUP_ICON)) << icon;
    for (int bitmap : {104, 105})
        EXPECT_TRUE(FindResourceA(setup, MAKEINTRESOURCEA(bitmap), RT_BITMAP)) << bitmap;
}

// A built file's machine, subsystem, imported DLLs and functions
// ("ADVAPI32.DLL!RegOpenKeyExA") and exported names,
// read from its image as the system maps it: sections at their addresses,
// nothing run or resolved. Each build reads files of its own kind.
struct PeFile {
    IMAGE_NT_HEADERS* nt = nullptr;
    std::set<std::string> imports, functions, exports;

    explicit PeFile(const std::string& path)
    {
        HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        const BYTE* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR(3));
        if (!base)
            return;
        nt = (IMAGE_NT_HEADERS*)(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY* directories = nt->OptionalHeader.DataDirectory;
        if (DWORD at = directories[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress)
            for (auto d = (const IMAGE_IMPORT_DESCRIPTOR*)(base + at); d->Name; ++d) {
                std::string dll = reinterpret_cast<const char*>(base + d->Name);
                std::transform(dll.begin(), dll.end(), dll.begin(), ::toupper);
                imports.insert(dll);
                DWORD names = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
                for (auto t = (const IMAGE_THUNK_DATA*)(base + names); t->u1.AddressOfData; ++t)
                    functions.insert(dll + "!" +
                                     (IMAGE_SNAP_BY_ORDINAL(t->u1.Ordinal)
                                          ? "#" + std::to_string(IMAGE_ORDINAL(t->u1.Ordinal))
                                          : std::string((const char*)base + t->u1.AddressOfData + 2)));
            }
        if (DWORD at = directories[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress) {
            auto d = (const IMAGE_EXPORT_DIRECTORY*)(base + at);
            for (DWORD i = 0; i < d->NumberOfNames; ++i)
                exports.insert(reinterpret_cast<const char*>(base + ((const DWORD*)(base + d->AddressOfNames))[i]));
        }
    }
};

// Every DLL imported is a KnownDLL, which the loader takes from the system
// folder, or the setup's own library. Some of their exports forward to
// DLLs that are not, which the loader would search for beside the program
// as it starts: those are looked up at run time instead. ADVAPI32's
// SystemFunction036, 040 and 041 go to CRYPTBASE, its Crypt* to CRYPTSP;
// none of its SystemFunction exports is needed at load time.
const char* const FORWARDED_ELSEWHERE[] = {"ADVAPI32.DLL!SystemFunction", "ADVAPI32.DLL!Crypt"};

TEST(Imports, WhatShipsBindsOnlyWhatItMay)
{
    struct Case {
        const char* file;
        WORD subsystem;  // 0 for a DLL: any
        std::set<std::string> allowed, required, exports;
    } cases[] = {
        {"SETUP.EXE", IMAGE_SUBSYSTEM_WINDOWS_GUI,
         {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL", "DUNZIP32.DLL"}, {"DUNZIP32.DLL"}, {}},
        {"DUNZIP32.DLL", 0, {"KERNEL32.DLL", "MSVCRT.DLL"}, {}, {"dunzip"}},
        {"UNINSTAL.EXE", IMAGE_SUBSYSTEM_WINDOWS_GUI,
         {"KERNEL32.DLL", "USER32.DLL", "SHELL32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL"}, {}, {}},
        {"CorvaneSetup.exe", IMAGE_SUBSYSTEM_WINDOWS_GUI, {"KERNEL32.DLL", "USER32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL"}, {},
         {}},
    };
    const bool win32 = sizeof(void*) == 4;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        PeFile pe(robot::ProductFolder() + "\\" + c.file);
        ASSERT_TRUE(pe.nt);
        EXPECT_EQ(win32 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64, pe.nt->FileHeader.Machine);
        EXPECT_EQ(win32 ? IMAGE_NT_OPTIONAL_HDR32_MAGIC : IMAGE_NT_OPTIONAL_HDR64_MAGIC, pe.nt->OptionalHeader.Magic);
        if (c.subsystem) {
            EXPECT_EQ(c.subsystem, pe.nt->OptionalHeader.Subsystem);
        }
        for (const std::string& dll : pe.imports)
            EXPECT_TRUE(c.allowed.count(dll)) << "must not import " << dll;
        for (const std::string& function : pe.functions)
            for (const char* forwarded : FORWARDED_ELSEWHERE)
                EXPECT_NE(0u, function.rfind(forwarded, 0)) << "must look up " << function << " at run time";
        for (const std::string& dll : c.required)
            EXPECT_TRUE(pe.imports.count(dll)) << "binds " << dll << " when it loads";
        EXPECT_EQ(c.exports, pe.exports);
    }
}

// What the build must not lose from a shipped file: its version, and a
// program's manifest with the execution level Windows asks for. The
// resource files say the rest.
TEST(Resources, EveryShippedFileCarriesItsVersionAndEachProgramItsManifest)
{
    for (auto [file, level] : {std::pair("SETUP.EXE", "requireAdministrator"), {"UNINSTAL.EXE", "requireAdministrator"},
                               {"CorvaneSetup.exe", "requireAdministrator"}, {"DUNZIP32.DLL", ""}}) {
        SCOPED_TRACE(file);
        const std::string path = robot::ProductFolder() + "\\" + file;
        HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), RT_MANIFEST);
        const std::string xml = found ? std::string(static_cast<const char*>(LockResource(LoadResource(image, found))),
                                                    SizeofResource(image, found))
                                      : "";
        EXPECT_EQ(*level != 0, xml.find(std::string("level=\"") + level + "\"") != std::string::npos);
        std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), nullptr));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(!info.empty() && GetFileVersionInfoA(path.c_str(), 0, info.size(), info.data()) &&
                    VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(MAKELONG(0, 2), fixed->dwFileVersionMS);
    }
}

}  // namespace
