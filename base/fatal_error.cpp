#include "base/fatal_error.h"

#include <windows.h>

namespace quandrel {

void FailFatally(const std::string& message) {
    MessageBoxA(nullptr, message.c_str(), "Quandrel 错误",
                MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    ExitProcess(static_cast<UINT>(-1));
}

}  // namespace quandrel
