// The unzip functions of zlibwapi.dll (minizip), declared here with the WINAPI
// convention of its Windows build and bound by name when first needed.
#pragma once

#include <windows.h>

namespace quandrel::unzip {

using Archive = void*;  // minizip's unzFile

constexpr int kOk = 0;
constexpr int kEndOfListOfFile = -100;

// General purpose flag bit 11: the entry's name and comment are UTF-8.
constexpr unsigned long kUtf8NameFlag = 0x800;

// minizip's tm_unz and unz_file_info (uLong is 32 bits on Windows).
struct DateTime {
    int second, minute, hour, dayOfMonth, month, year;
};

struct FileInfo {
    unsigned long version;
    unsigned long versionNeeded;
    unsigned long flag;
    unsigned long compressionMethod;
    unsigned long dosDate;
    unsigned long crc;
    unsigned long compressedSize;
    unsigned long uncompressedSize;
    unsigned long sizeFilename;
    unsigned long sizeFileExtra;
    unsigned long sizeFileComment;
    unsigned long diskNumStart;
    unsigned long internalAttributes;
    unsigned long externalAttributes;
    DateTime date;
};

// The longest name the ZIP format can store, plus its terminating zero: with a
// buffer this size unzGetCurrentFileInfo always hands back a whole name.
constexpr unsigned long kNameBufferSize = 65535 + 1;

inline constexpr const char* kLibrary = "zlibwapi.dll";

struct Functions {
    Archive(WINAPI* open)(const char* path);
    int(WINAPI* close)(Archive archive);
    int(WINAPI* goToFirstFile)(Archive archive);
    int(WINAPI* goToNextFile)(Archive archive);
    int(WINAPI* getCurrentFileInfo)(Archive archive, FileInfo* info, char* name, unsigned long nameBufferSize,
                                    void* extraField, unsigned long extraFieldBufferSize, char* comment,
                                    unsigned long commentBufferSize);
};

// The functions, all bound together the first time any is needed (from any
// thread) and kept until the process ends. A library or function that cannot
// be found ends the program with an error box naming both.
const Functions& Bound();

}  // namespace quandrel::unzip
