#include "rename/bound_library.h"

#include <string>

#include "base/fatal_error.h"
#include "base/path_text.h"
#include "base/program_folder.h"

namespace quandrel {
namespace {

HMODULE LoadByName(const std::string& library) {
    if (library.find(':') != std::string::npos) {
        return LoadLibraryA(library.c_str());
    }
    if (HMODULE module = LoadLibraryA(JoinPath(ProgramFolder(), library).c_str())) {
        return module;
    }
    return LoadLibraryA(library.c_str());
}

}  // namespace

BoundLibrary::BoundLibrary(const char* library) : library_(library), module_(LoadByName(library)) {}

FARPROC BoundLibrary::Address(const char* name) const {
    FARPROC address = module_ ? GetProcAddress(module_.get(), name) : nullptr;
    if (!address) {
        FailFatally(std::string("找不到外部函数，程序无法继续运行。\r\n\r\n库：") + library_ + "\r\n函数：" + name);
    }
    return address;
}

}  // namespace quandrel
