#include "rename/unzip_functions.h"

#include "rename/external_functions.h"

namespace quandrel::unzip {

Archive Open(const char* path) {
    using Fn = Archive(WINAPI*)(const char*);
    return BoundExternal<Fn>(ExternalFunction::UnzOpen)(path);
}

int Close(Archive archive) {
    using Fn = int(WINAPI*)(Archive);
    return BoundExternal<Fn>(ExternalFunction::UnzClose)(archive);
}

int GoToFirstFile(Archive archive) {
    using Fn = int(WINAPI*)(Archive);
    return BoundExternal<Fn>(ExternalFunction::UnzGoToFirstFile)(archive);
}

int GoToNextFile(Archive archive) {
    using Fn = int(WINAPI*)(Archive);
    return BoundExternal<Fn>(ExternalFunction::UnzGoToNextFile)(archive);
}

int GetCurrentFileInfo(Archive archive, FileInfo* info, char* name, unsigned long nameBufferSize) {
    using Fn = int(WINAPI*)(Archive, FileInfo*, char*, unsigned long, void*, unsigned long, char*, unsigned long);
    return BoundExternal<Fn>(ExternalFunction::UnzGetCurrentFileInfo)(archive, info, name, nameBufferSize,
                                                                      nullptr, 0, nullptr, 0);
}

}  // namespace quandrel::unzip
