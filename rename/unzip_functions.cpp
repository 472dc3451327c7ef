#include "rename/unzip_functions.h"

#include "rename/bound_library.h"

namespace quandrel::unzip {

const Functions& Bound() {
    // Function-local statics: initialised once, safely from any thread; the
    // library is freed when the process ends.
    static const BoundLibrary library(kLibrary);
    static const Functions functions{
        library.Function<decltype(Functions::open)>("unzOpen"),
        library.Function<decltype(Functions::close)>("unzClose"),
        library.Function<decltype(Functions::goToFirstFile)>("unzGoToFirstFile"),
        library.Function<decltype(Functions::goToNextFile)>("unzGoToNextFile"),
        library.Function<decltype(Functions::getCurrentFileInfo)>("unzGetCurrentFileInfo"),
    };
    return functions;
}

}  // namespace quandrel::unzip
