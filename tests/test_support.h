// Helpers shared by the core tests.
#pragma once

#include <string>

namespace kelvaris {
class TKelvarisGrid;
}

namespace kelvaris::test {

// A file in a fresh temporary folder that is removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  // Writes `content` to `name` in the folder and returns the full path.
  std::string Write(const std::string& name, const std::string& content) const;

 private:
  std::string path_;
};

// The path of a file in tests/data.
std::string DataFile(const std::string& name);

// What a user typing `text` into one cell does: select it, open the
// editor, type, close it. False when the cell cannot be edited.
bool TypeIntoCell(TKelvarisGrid& grid, int col, int row, const std::string& text);

}  // namespace kelvaris::test
