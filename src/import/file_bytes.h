// Reading a whole file into memory, and the small file-system facts the
// loader needs.
#pragma once

#include <string>

namespace kelvaris {

struct FileBytes {
  bool opened = false;
  std::string error;  // the system's text when the file could not be opened
  std::string bytes;
};

FileBytes ReadFileBytes(const std::string& path);

// The folder of a path: everything up to and including the last "/" (or
// "\" or ":", for paths written on another system).
std::string FolderOf(const std::string& path);
// The file name without its folder.
std::string FileNameOf(const std::string& path);
// The file name without folder and without its extension (from the last ".").
std::string BaseNameOf(const std::string& path);

}  // namespace kelvaris
