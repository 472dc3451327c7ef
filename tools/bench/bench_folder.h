// What both benchmarks need: folders of test archives, and the floor any rename
// run is measured against.
#pragma once

#include <string>
#include <vector>

namespace quandrel::bench {

inline constexpr const char* kSuffix = ".exe";

// `count` archives named 100000.zip, 100001.zip, ... of `entries` entries each;
// with `named` the last entry ends with the suffix (and names the archive after
// a number of its own), otherwise none does.
void MakeArchives(const std::string& folder, int count, int entries, bool named);
void CopyFolder(const std::string& from, const std::string& to);

// The least any rename run can do: one open-and-walk and one rename per
// archive, through the same zlibwapi.dll. How many it renamed.
int Floor(const std::string& folder);

// Seconds on the performance counter since `start` (from Now()).
long long Now();
double SecondsSince(long long start);

}  // namespace quandrel::bench
