// The functions the program takes from other libraries, bound by name the first
// time each is called. A library is looked for beside the program first, then by
// the normal search. One that cannot be found ends the program with an error box.
#pragma once

#include <windows.h>

#include <span>

namespace quandrel {

enum class ExternalFunction {
    UnzOpen,
    UnzClose,
    UnzGoToFirstFile,
    UnzGoToNextFile,
    UnzGetCurrentFileInfo,
};

struct ExternalFunctionName {
    ExternalFunction function;
    const char* library;
    const char* name;
};

// Every function of the table, in its order.
std::span<const ExternalFunctionName> ExternalFunctionNames();

// The function's address, bound on first use and kept until the process ends.
// Safe to call from any thread.
FARPROC BindExternal(ExternalFunction function);

// `Fn` must be the function's exact type, calling convention included.
template <typename Fn>
Fn BoundExternal(ExternalFunction function) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(BindExternal(function)));
}

}  // namespace quandrel
