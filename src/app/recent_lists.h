// The recent folders and files the Load button offers again, most recent
// first, compared without regard to letter case.
#pragma once

#include <string>
#include <vector>

namespace kelvaris {

constexpr int kRecentLimit = 5;

struct RecentLists {
  std::vector<std::string> folders;  // each with its trailing separator
  std::vector<std::string> files;

  // Puts the file and its folder at the head of the lists, each at most once.
  void AddRecent(const std::string& path);
};

// The settings file: the folders, a "-" line, the files; one per line.
RecentLists ParseSettings(const std::string& text);
std::string FormatSettings(const RecentLists& lists);

}  // namespace kelvaris
