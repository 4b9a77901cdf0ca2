#include "app/recent_lists.h"

#include <algorithm>
#include <cctype>

#include "import/file_bytes.h"

namespace kelvaris {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

void PutFirst(std::vector<std::string>& list, const std::string& entry) {
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const std::string& e) { return SameIgnoringCase(e, entry); }),
             list.end());
  list.insert(list.begin(), entry);
  if (list.size() > static_cast<std::size_t>(kRecentLimit)) list.resize(kRecentLimit);
}

// A settings line is read with at most 499 characters; a longer one comes
// in pieces, each taken as a line of its own.
constexpr std::size_t kLineLimit = 499;

}  // namespace

void RecentLists::AddRecent(const std::string& path) {
  PutFirst(folders, FolderOf(path));
  PutFirst(files, path);
}

RecentLists ParseSettings(const std::string& text) {
  RecentLists lists;
  bool inFiles = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t lf = text.find('\n', pos);
    std::size_t end = lf == std::string::npos ? text.size() : lf + 1;  // with its line feed
    if (end - pos > kLineLimit) end = pos + kLineLimit;
    std::string line = text.substr(pos, end - pos);
    pos = end;
    if (line.size() < 2) continue;  // an empty line
    // Only a line feed is dropped: a piece of an over-long line and a last
    // line without a line feed keep every character of the path.
    if (line.back() == '\n') line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!inFiles && line[0] == '-') {
      inFiles = true;
      continue;
    }
    if (inFiles && line[0] == '-' && line.size() == 1) continue;  // a second "-"
    (inFiles ? lists.files : lists.folders).push_back(line);
  }
  return lists;
}

std::string FormatSettings(const RecentLists& lists) {
  std::string out;
  for (const auto& f : lists.folders) out += f + "\n";
  out += "-\n";
  for (const auto& f : lists.files) out += f + "\n";
  return out;
}

}  // namespace kelvaris
