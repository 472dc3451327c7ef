// The built zlibwapi.dll against the program's own declarations of it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>

#include "base/path_text.h"
#include "base/win_owners.h"
#include "rename/unzip_functions.h"
#include "tests/support/test_folder.h"

// minizip's own header, from the zlib source the build fetched.
#include <unzip.h>

namespace quandrel {
namespace {

#define SAME_FIELD(ours, theirs) \
    static_assert(offsetof(unzip::FileInfo, ours) == offsetof(unz_file_info, theirs), #ours)
static_assert(sizeof(unzip::FileInfo) == sizeof(unz_file_info));
SAME_FIELD(flag, flag);
SAME_FIELD(sizeFilename, size_filename);
SAME_FIELD(externalAttributes, external_fa);
SAME_FIELD(date, tmu_date);
#undef SAME_FIELD
static_assert(unzip::kOk == UNZ_OK);
static_assert(unzip::kEndOfListOfFile == UNZ_END_OF_LIST_OF_FILE);

TEST(UnzipLibrary, BoundFunctionsAreTheLibrarysOwnExportedByPlainName) {
    const std::string path = JoinPath(testing::BuildOutputFolder(), unzip::kLibrary);
    UniqueModule library(LoadLibraryA(path.c_str()));
    ASSERT_TRUE(library) << path;
    const unzip::Functions& bound = unzip::Bound();
    const struct {
        const char* name;
        void* address;
    } functions[] = {
        {"unzOpen", reinterpret_cast<void*>(bound.open)},
        {"unzClose", reinterpret_cast<void*>(bound.close)},
        {"unzGoToFirstFile", reinterpret_cast<void*>(bound.goToFirstFile)},
        {"unzGoToNextFile", reinterpret_cast<void*>(bound.goToNextFile)},
        {"unzGetCurrentFileInfo", reinterpret_cast<void*>(bound.getCurrentFileInfo)},
    };
    for (const auto& function : functions) {
        FARPROC exported = GetProcAddress(library.get(), function.name);
        EXPECT_NE(exported, nullptr) << function.name;
        EXPECT_EQ(function.address, reinterpret_cast<void*>(exported)) << function.name;
    }
}

}  // namespace
}  // namespace quandrel
