// quandrel.exe as a file: what it imports and the resources Explorer shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "base/path_text.h"
#include "base/win_owners.h"
#include "tests/support/test_folder.h"

namespace quandrel {
namespace {

using testing::BuildOutputFolder;
using testing::ReadFileBytes;

std::string ProgramFile() { return JoinPath(BuildOutputFolder(), "quandrel.exe"); }

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

// The names of the DLLs in a PE file's import table, read from the file itself.
std::set<std::string> ImportedDlls(const std::string& image) {
    auto at = [&](std::size_t offset, std::size_t size) {
        if (offset + size > image.size()) {
            throw std::out_of_range("PE field past the end of the file");
        }
        return image.data() + offset;
    };
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, at(0, sizeof dos), sizeof dos);
    IMAGE_NT_HEADERS32 nt;
    std::memcpy(&nt, at(static_cast<std::size_t>(dos.e_lfanew), sizeof nt), sizeof nt);
    const std::size_t sectionsAt = static_cast<std::size_t>(dos.e_lfanew) +
                                   offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER section;
            std::memcpy(&section, at(sectionsAt + i * sizeof section, sizeof section), sizeof section);
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.Misc.VirtualSize) {
                return rva - section.VirtualAddress + section.PointerToRawData;
            }
        }
        throw std::out_of_range("RVA in no section");
    };
    std::set<std::string> dlls;
    const DWORD importRva = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (std::size_t offset = fileOffset(importRva);; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        std::memcpy(&descriptor, at(offset, sizeof descriptor), sizeof descriptor);
        if (descriptor.Name == 0) {
            break;
        }
        dlls.insert(Upper(at(fileOffset(descriptor.Name), 1)));
    }
    return dlls;
}

TEST(ProgramFile, IsA32BitGuiProgram) {
    const std::optional<std::string> image = ReadFileBytes(ProgramFile());
    ASSERT_TRUE(image);
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, image->data(), sizeof dos);
    IMAGE_NT_HEADERS32 nt;
    std::memcpy(&nt, image->data() + dos.e_lfanew, sizeof nt);
    EXPECT_EQ(nt.FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(nt.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

// A runtime DLL that a missed static link drags in (libstdc++, libgcc, winpthread)
// would be missing on the user's machine. zlibwapi.dll is loaded by name at run time.
TEST(ProgramFile, ImportsOnlySystemDlls) {
    const std::set<std::string> allowed = {"KERNEL32.DLL", "USER32.DLL",  "GDI32.DLL",   "COMCTL32.DLL",
                                           "SHELL32.DLL",  "OLE32.DLL",   "MSVCRT.DLL",  "ADVAPI32.DLL",
                                           "SHLWAPI.DLL",  "UXTHEME.DLL", "ZLIBWAPI.DLL"};
    const std::optional<std::string> image = ReadFileBytes(ProgramFile());
    ASSERT_TRUE(image);
    const std::set<std::string> imported = ImportedDlls(*image);
    EXPECT_TRUE(imported.count("KERNEL32.DLL"));
    for (const std::string& dll : imported) {
        EXPECT_TRUE(allowed.count(dll)) << "quandrel.exe imports " << dll;
    }
}

std::string Resource(HMODULE module, LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(module, name, type);
    if (!found) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, found);
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
}

TEST(ProgramFile, ManifestAsksForCommonControls6AsInvokerAndGdiScaling) {
    UniqueModule program(LoadLibraryExA(ProgramFile().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program);
    const std::string manifest = Resource(program.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_FALSE(manifest.empty()) << "no application manifest";
    for (const char* wanted : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "level=\"asInvoker\"",
                               "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a", "e2011457-1546-43c5-a5fe-008deee3d3f0",
                               "<gdiScaling", ">true</gdiScaling>", ">false</dpiAware>"}) {
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
    // The program works in the system's ANSI code page, never a UTF-8 one.
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);
}

TEST(ProgramFile, VersionInformationInChinese) {
    const std::string path = ProgramFile();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, sizeof(Translation));
    EXPECT_EQ(translation->language, 0x0804);
    EXPECT_EQ(translation->codePage, 936);

    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 2));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 2));

    const struct {
        const char* key;
        std::string value;
    } strings[] = {
        {"ProductName", "Quandrel"},
        {"ProductVersion", "2.0"},
        {"OriginalFilename", "quandrel.exe"},
        {"FileDescription", "Quandrel ZIP 压缩包批量更名工具"},  // GBK, as the A function gives it
    };
    for (const auto& s : strings) {
        char* value = nullptr;
        const std::string query = std::string("\\StringFileInfo\\080403a8\\") + s.key;
        ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << s.key;
        EXPECT_EQ(std::string(value), s.value) << s.key;
    }
}

TEST(ProgramFile, ApplicationIconIsOne32By32ImageOf32Bits) {
    UniqueModule program(LoadLibraryExA(ProgramFile().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program);
    // The first icon group is the one Explorer shows. Its directory: a 6-byte
    // header, then 14-byte entries (width, height, colours, reserved, planes, bits, size, id).
    const std::string group = Resource(program.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));
    ASSERT_GE(group.size(), 6u + 14u);
    EXPECT_EQ(static_cast<unsigned char>(group[4]), 1u) << "one image";
    EXPECT_EQ(static_cast<unsigned char>(group[6]), 32u);
    EXPECT_EQ(static_cast<unsigned char>(group[7]), 32u);
    EXPECT_EQ(static_cast<unsigned char>(group[6 + 6]), 32u) << "bits per pixel";
}

}  // namespace
}  // namespace quandrel
