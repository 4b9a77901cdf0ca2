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

// A flow-cell labelled run of four injections on two flow cells, 0 to 40 s,
// injected from 10 to 30 s: flow cell 1 binds nothing, flow cell 2 follows
// a 1:1 isotherm with KD 10 uM and Rmax 100 RU at 1, 10 and 100 uM, and
// injection 4 is a blank. Responses are written in full precision.
std::string IsothermRunText();
// The sample cells of that run, injection 1 to 4.
inline constexpr const char* kIsothermSamples[] = {"1uM", "10uM", "100uM", "0"};

}  // namespace kelvaris::test
