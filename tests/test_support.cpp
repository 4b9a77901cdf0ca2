#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "table/kelvaris_grid.h"

namespace kelvaris::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelvaris-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  const std::string path = path_ + "/" + name;
  std::ofstream f(path, std::ios::binary);
  f << content;
  return path;
}

std::string DataFile(const std::string& name) { return std::string(KELVARIS_TEST_DATA) + "/" + name; }

bool TypeIntoCell(TKelvarisGrid& grid, int col, int row, const std::string& text) {
  grid.ClearSelection();
  grid.SetSelected(col, row, true);
  grid.SetCursorCell(col, row);
  grid.SetEditingAllowed(true);
  if (!grid.OpenEditor()) return false;
  grid.EditorText(text);
  grid.CloseEditor();
  grid.ClearSelection();
  return true;
}

}  // namespace kelvaris::test
