// A helper that runs out of memory with the program's own handling of that:
// it takes memory in large blocks, never touching it, until none is left.
#include <windows.h>

#include <vector>

#include "base/fatal_error.h"

int main() {
    quandrel::FailFatallyWhenMemoryRunsOut();
    std::vector<char*> blocks;
    blocks.reserve(4096);
    for (;;) {
        blocks.push_back(new char[64 * 1024 * 1024]);  // the address space of a 32-bit process ends first
    }
}
