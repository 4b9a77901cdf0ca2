#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
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

std::string IsothermRunText() {
  const double concentration[] = {1e-6, 1e-5, 1e-4, 0};
  std::ostringstream s;
  s << std::setprecision(17);
  for (int k = 1; k <= 4; ++k)
    for (int f = 1; f <= 2; ++f)
      s << (k + f > 2 ? "\t" : "") << "run Fc=" << f << " - " << k << "_X\trun Fc=" << f << " - " << k << "_Y";
  s << "\n";
  for (int i = 0; i <= 40; ++i) {
    for (int k = 1; k <= 4; ++k) {
      const double c = concentration[k - 1];
      const double bound = i >= 10 && i <= 30 ? 100 * c / (1e-5 + c) : 0;
      s << (k > 1 ? "\t" : "") << i << "\t" << 0.0 << "\t" << i << "\t" << bound;
    }
    s << "\n";
  }
  return s.str();
}

}  // namespace kelvaris::test
