#include "rename/external_functions.h"

#include <array>
#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "base/fatal_error.h"
#include "base/path_text.h"
#include "base/program_folder.h"
#include "base/win_owners.h"

namespace quandrel {
namespace {

constexpr const char* kUnzipLibrary = "zlibwapi.dll";

constexpr std::array kNames = {
    ExternalFunctionName{ExternalFunction::UnzOpen, kUnzipLibrary, "unzOpen"},
    ExternalFunctionName{ExternalFunction::UnzClose, kUnzipLibrary, "unzClose"},
    ExternalFunctionName{ExternalFunction::UnzGoToFirstFile, kUnzipLibrary, "unzGoToFirstFile"},
    ExternalFunctionName{ExternalFunction::UnzGoToNextFile, kUnzipLibrary, "unzGoToNextFile"},
    ExternalFunctionName{ExternalFunction::UnzGetCurrentFileInfo, kUnzipLibrary, "unzGetCurrentFileInfo"},
};

constexpr bool NamesFollowEnumOrder() {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (static_cast<std::size_t>(kNames[i].function) != i) {
            return false;
        }
    }
    return true;
}
static_assert(NamesFollowEnumOrder(), "the table is indexed by ExternalFunction");

HMODULE LoadByName(const std::string& library) {
    if (library.find(':') != std::string::npos) {
        return LoadLibraryA(library.c_str());
    }
    const std::string besideProgram = JoinPath(ProgramFolder(), library);
    if (HMODULE module = LoadLibraryA(besideProgram.c_str())) {
        return module;
    }
    return LoadLibraryA(library.c_str());
}

// The libraries loaded for the table; freed when the process ends.
class BoundLibraries {
public:
    FARPROC Bind(ExternalFunction function) {
        const auto index = static_cast<std::size_t>(function);
        if (FARPROC address = addresses_[index].load(std::memory_order_acquire)) {
            return address;
        }
        std::lock_guard lock(mutex_);
        const ExternalFunctionName& name = kNames[index];
        UniqueModule& module = modules_[name.library];
        if (!module) {
            module.reset(LoadByName(name.library));
        }
        FARPROC address = module ? GetProcAddress(module.get(), name.name) : nullptr;
        if (!address) {
            FailFatally(std::string("找不到外部函数，程序无法继续运行。\r\n\r\n库：") + name.library +
                        "\r\n函数：" + name.name);
        }
        addresses_[index].store(address, std::memory_order_release);
        return address;
    }

private:
    std::mutex mutex_;
    std::map<std::string, UniqueModule> modules_;
    std::array<std::atomic<FARPROC>, kNames.size()> addresses_{};
};

BoundLibraries& Libraries() {
    static BoundLibraries libraries;
    return libraries;
}

}  // namespace

std::span<const ExternalFunctionName> ExternalFunctionNames() { return kNames; }

FARPROC BindExternal(ExternalFunction function) { return Libraries().Bind(function); }

}  // namespace quandrel
