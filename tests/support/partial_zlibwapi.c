/* Test helper: a zlibwapi.dll that opens any archive but lacks unzGoToFirstFile,
   to show what the program does when a function cannot be bound. */
#include <windows.h>

__declspec(dllexport) void* WINAPI unzOpen(const char* path) {
    static int archive;
    (void)path;
    return &archive;
}

__declspec(dllexport) int WINAPI unzClose(void* archive) {
    (void)archive;
    return 0;
}
