// A fresh folder under the Windows temp folder for one test, removed with all its
// contents when the test ends, and small helpers for the files in it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quandrel::testing {

class TestFolder {
public:
    // `name` may hold GBK text; it becomes part of the folder's name.
    explicit TestFolder(std::string_view name = "quandrel-test");
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    ~TestFolder();

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const;

private:
    std::string path_;
};

// Removes a folder and everything in it, read-only files included.
void RemoveTree(const std::string& path);

void WriteFileBytes(const std::string& path, std::string_view bytes);
std::optional<std::string> ReadFileBytes(const std::string& path);

// Every name directly in the folder, with its bytes ("<folder>" for a folder).
// Names are in lower case: Windows names ignore case, and Wine keeps the old
// case when only the case changes.
std::map<std::string, std::string> FolderContents(const std::string& folder);

// The folder of the running test program, where the build puts quandrel.exe,
// zlibwapi.dll and the test helpers.
std::string BuildOutputFolder();

}  // namespace quandrel::testing
