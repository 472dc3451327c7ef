// The built zlibwapi.dll against the program's own declarations of it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>

#include "base/path_text.h"
#include "base/win_owners.h"
#include "rename/external_functions.h"
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

TEST(UnzipLibrary, ExportsEveryBoundFunctionByPlainName) {
    for (const ExternalFunctionName& entry : ExternalFunctionNames()) {
        const std::string path = JoinPath(testing::BuildOutputFolder(), entry.library);
        UniqueModule library(LoadLibraryA(path.c_str()));
        ASSERT_TRUE(library) << path;
        EXPECT_NE(GetProcAddress(library.get(), entry.name), nullptr) << entry.library << " " << entry.name;
    }
}

TEST(UnzipLibrary, BoundFunctionsAreTheLibrarysOwn) {
    const std::string path = JoinPath(testing::BuildOutputFolder(), "zlibwapi.dll");
    UniqueModule library(LoadLibraryA(path.c_str()));
    ASSERT_TRUE(library);
    for (const ExternalFunctionName& entry : ExternalFunctionNames()) {
        EXPECT_EQ(BindExternal(entry.function), GetProcAddress(library.get(), entry.name)) << entry.name;
    }
}

}  // namespace
}  // namespace quandrel
