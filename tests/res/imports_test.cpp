// What ships binds only the system DLLs it is allowed to: SETUP.EXE is a
// GUI program of the build's architecture that also binds the unzip
// library, and the library exports its one function undecorated. Read from the PE files themselves.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "robot.h"

namespace {

// The headers that differ between PE32 and PE32+ are read through the
// optional header's magic: the subsystem sits at the same place in both,
// the data directories 16 bytes further on in PE32+.
struct PeFile {
    std::vector<BYTE> bytes;
    IMAGE_FILE_HEADER file = {};
    WORD magic = 0;
    WORD subsystem = 0;
    IMAGE_DATA_DIRECTORY directories[IMAGE_NUMBEROF_DIRECTORY_ENTRIES] = {};
    std::vector<IMAGE_SECTION_HEADER> sections;

    explicit PeFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (bytes.size() < sizeof(IMAGE_DOS_HEADER))
            return;
        IMAGE_DOS_HEADER dos;
        memcpy(&dos, bytes.data(), sizeof dos);
        size_t header = static_cast<size_t>(dos.e_lfanew) + 4;
        size_t optional = header + sizeof file;
        if (optional + sizeof(IMAGE_OPTIONAL_HEADER64) > bytes.size())
            return;
        memcpy(&file, bytes.data() + header, sizeof file);
        memcpy(&magic, bytes.data() + optional, sizeof magic);
        memcpy(&subsystem, bytes.data() + optional + offsetof(IMAGE_OPTIONAL_HEADER32, Subsystem), sizeof subsystem);
        size_t directoryTable = optional + (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                                                ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                                : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
        memcpy(directories, bytes.data() + directoryTable, sizeof directories);
        size_t table = optional + file.SizeOfOptionalHeader;
        for (WORD i = 0; i < file.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER s;
            if (table + (i + 1) * sizeof s > bytes.size())
                break;
            memcpy(&s, bytes.data() + table + i * sizeof s, sizeof s);
            sections.push_back(s);
        }
    }

    // A file offset for a relative virtual address; 0 when it lies nowhere.
    size_t offset(DWORD rva) const
    {
        for (const IMAGE_SECTION_HEADER& s : sections)
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        return 0;
    }

    std::set<std::string> exports() const
    {
        std::set<std::string> names;
        const IMAGE_DATA_DIRECTORY& dir = directories[IMAGE_DIRECTORY_ENTRY_EXPORT];
        size_t at = offset(dir.VirtualAddress);
        if (!at || at + sizeof(IMAGE_EXPORT_DIRECTORY) > bytes.size())
            return names;
        IMAGE_EXPORT_DIRECTORY d;
        memcpy(&d, bytes.data() + at, sizeof d);
        size_t table = offset(d.AddressOfNames);
        for (DWORD i = 0; table && i < d.NumberOfNames && table + 4 * (i + 1) <= bytes.size(); ++i) {
            DWORD rva;
            memcpy(&rva, bytes.data() + table + 4 * i, 4);
            size_t name = offset(rva);
            std::string text;
            while (name && name < bytes.size() && bytes[name])
                text += static_cast<char>(bytes[name++]);
            names.insert(text);
        }
        return names;
    }

    std::set<std::string> imports() const
    {
        std::set<std::string> names;
        const IMAGE_DATA_DIRECTORY& dir = directories[IMAGE_DIRECTORY_ENTRY_IMPORT];
        size_t at = offset(dir.VirtualAddress);
        for (; at && at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= bytes.size(); at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            IMAGE_IMPORT_DESCRIPTOR d;
            memcpy(&d, bytes.data() + at, sizeof d);
            if (d.Name == 0)
                break;
            size_t name = offset(d.Name);
            std::string dll;
            while (name && name < bytes.size() && bytes[name])
                dll += static_cast<char>(toupper(bytes[name++]));
            names.insert(dll);
        }
        return names;
    }
};

TEST(Imports, WhatShipsBindsOnlyWhatItMay)
{
    struct Case {
        const char* file;
        WORD subsystem;
        std::set<std::string> allowed;
        std::set<std::string> required;
        std::set<std::string> exports;
    } cases[] = {
        {"SETUP.EXE", IMAGE_SUBSYSTEM_WINDOWS_GUI,
         {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL", "DUNZIP32.DLL"},
         {"DUNZIP32.DLL"},
         {}},
        {"DUNZIP32.DLL", 0, {"KERNEL32.DLL", "MSVCRT.DLL"}, {}, {"dunzip"}},  // a DLL: any subsystem
        {"UNINSTAL.EXE", IMAGE_SUBSYSTEM_WINDOWS_GUI, {"KERNEL32.DLL", "USER32.DLL", "MSVCRT.DLL"}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        PeFile pe(robot::ProductFolder() + "\\" + c.file);
        ASSERT_FALSE(pe.sections.empty());
        // Each build ships files of its own architecture only.
        if (sizeof(void*) == 4) {
            EXPECT_EQ(IMAGE_FILE_MACHINE_I386, pe.file.Machine);
            EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, pe.magic);
        } else {
            EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, pe.file.Machine);
            EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR64_MAGIC, pe.magic);
        }
        if (c.subsystem) {
            EXPECT_EQ(c.subsystem, pe.subsystem);
        }
        std::set<std::string> imports = pe.imports();
        for (const std::string& dll : imports)
            EXPECT_TRUE(c.allowed.count(dll)) << c.file << " must not import " << dll;
        for (const std::string& dll : c.required)
            EXPECT_TRUE(imports.count(dll)) << c.file << " binds " << dll << " when it loads";
        EXPECT_EQ(c.exports, pe.exports());
    }
}

}  // namespace
