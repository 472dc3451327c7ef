// A library whose functions the program binds by name at run time, kept loaded
// until the process ends. What cannot be found ends the program with an error
// box naming the library and the function.
#pragma once

#include <windows.h>

#include <bit>

#include "base/win_owners.h"

namespace quandrel {

class BoundLibrary {
public:
    // Looks for `library` beside the program first, then by the normal search; a
    // name holding ":" is a full path and is loaded exactly as given.
    explicit BoundLibrary(const char* library);

    // `Fn` must be the function's exact type, calling convention included.
    template <typename Fn>
    Fn Function(const char* name) const {
        return std::bit_cast<Fn>(Address(name));
    }

private:
    FARPROC Address(const char* name) const;

    const char* library_;
    UniqueModule module_;
};

}  // namespace quandrel
