// Test helper: looks up one archive's naming entry as the program does and prints
// the name. Usage: lookup_probe ARCHIVE SUFFIX. Exit code 0 found, 1 not found.
#include <cstdio>

#include "rename/entry_lookup.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: lookup_probe ARCHIVE SUFFIX\n", stderr);
        return 2;
    }
    const auto found = quandrel::FindNamingEntry(argv[1], argv[2]);
    if (!found) {
        return 1;
    }
    std::fputs(found->name.c_str(), stdout);
    return 0;
}
