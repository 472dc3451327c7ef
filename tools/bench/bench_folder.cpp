#include "tools/bench/bench_folder.h"

#include <windows.h>

#include "base/path_text.h"
#include "base/win_owners.h"
#include "rename/new_name.h"
#include "rename/suffix_match.h"
#include "rename/unzip_functions.h"
#include "tests/support/test_folder.h"
#include "tests/support/zip_writer.h"

namespace quandrel::bench {
namespace {

std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(JoinPath(folder, "*.zip").c_str(), &found));
    if (search) {
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileA(search.get(), &found));
    }
    return names;
}

}  // namespace

void MakeArchives(const std::string& folder, int count, int entries, bool named) {
    using testing::ZipEntry;
    for (int i = 0; i < count; ++i) {
        std::vector<ZipEntry> archive;
        for (int e = 0; e < entries - (named ? 1 : 0); ++e) {
            std::string part = "data/part";  // built in steps: GCC 12 warns falsely on a + b + c here
            part += std::to_string(e);
            part += ".bin";
            archive.emplace_back(part, std::string(64, 'x'));
        }
        if (named) {
            std::string naming = "程序/游戏";
            naming += std::to_string(i);
            naming += ".exe";
            archive.emplace_back(naming, "MZ");
        }
        testing::WriteFileBytes(JoinPath(folder, std::to_string(100000 + i) + ".zip"), testing::BuildZip(archive));
    }
}

void CopyFolder(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    for (const std::string& name : FileNames(from)) {
        CopyFileA(JoinPath(from, name).c_str(), JoinPath(to, name).c_str(), FALSE);
    }
}

int Floor(const std::string& folder) {
    const std::vector<std::string> names = FileNames(folder);
    std::vector<char> name(unzip::kNameBufferSize);
    const unzip::Functions& unzip = unzip::Bound();
    int renamed = 0;
    for (const std::string& file : names) {
        const std::string path = JoinPath(folder, file);
        unzip::Archive archive = unzip.open(path.c_str());
        if (!archive) {
            continue;
        }
        std::string match;
        for (int status = unzip.goToFirstFile(archive); status == unzip::kOk && match.empty();
             status = unzip.goToNextFile(archive)) {
            unzip::FileInfo info{};
            if (unzip.getCurrentFileInfo(archive, &info, name.data(), unzip::kNameBufferSize, nullptr, 0, nullptr, 0) !=
                unzip::kOk) {
                break;
            }
            const std::string_view stored(name.data(), info.sizeFilename);
            if (EntryNameMatches(stored, kSuffix, NameEncoding::Ansi)) {
                match = stored;
            }
        }
        unzip.close(archive);
        if (!match.empty() && MoveFileA(path.c_str(), JoinPath(folder, ArchiveNameFor(match)).c_str())) {
            ++renamed;
        }
    }
    return renamed;
}

long long Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double SecondsSince(long long start) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(Now() - start) / static_cast<double>(frequency.QuadPart);
}

}  // namespace quandrel::bench
