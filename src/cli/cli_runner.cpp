#include "cli/cli_runner.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <ostream>

#include "app/application.h"
#include "cli/json_summary.h"
#include "graph/plot.h"
#include "model/sample_layout.h"
#include "platform/headless_window_system.h"

namespace kelvaris {

namespace {

PlotWriter& Writer() {
  static PlotWriter writer;
  return writer;
}

struct ArgumentError {
  std::string message;
};

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

bool ParseOnOff(const std::string& v, const std::string& arg) {
  if (v == "on" || v == "yes" || v == "true" || v == "1") return true;
  if (v == "off" || v == "no" || v == "false" || v == "0") return false;
  throw ArgumentError{"expected on or off in " + arg};
}

// An item given as its text, or as #k for index k.
int ItemIndex(const ItemList& list, const std::string& value, const std::string& arg) {
  if (value.size() > 1 && value[0] == '#') {
    try {
      std::size_t used = 0;
      int k = std::stoi(value.substr(1), &used);
      if (used == value.size() - 1 && k >= 0 && k < list.Count()) return k;
    } catch (const std::exception&) {
    }
    throw ArgumentError{"no item " + value + " in " + arg};
  }
  const int k = list.IndexOf(value);
  if (k < 0) throw ArgumentError{"no item \"" + value + "\" in " + arg};
  return k;
}

// A whole number written out in full, or `otherwise`.
int WholeNumberOr(const std::string& text, int otherwise) {
  try {
    std::size_t used = 0;
    const int k = std::stoi(text, &used);
    return used == text.size() ? k : otherwise;
  } catch (const std::exception&) {
    return otherwise;
  }
}

class CliSession {
 public:
  CliSession(std::ostream& out, std::ostream& err)
      : out_(out), err_(err), app_(ws_, {}, std::string()) {
    ws_.OnMessage = [this](const RecordedMessage& m) { err_ << m.caption << ": " << m.text << "\n"; };
    form().Form.SetVisible(true);
    form().FormPaint();
  }

  int Run(const std::vector<std::string>& args) {
    try {
      for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!StartsWith(a, "--")) {
          std::vector<std::string> files{a};
          while (i + 1 < args.size() && !StartsWith(args[i + 1], "--")) files.push_back(args[++i]);
          LoadFiles(files, false);
        } else if (a == "--merge") {
          LoadFiles({Next(args, i)}, true);
        } else if (a == "--option") {
          SetOption(Next(args, i));
        } else if (a == "--set") {
          Set(Next(args, i));
        } else if (a == "--click") {
          Click(Next(args, i));
        } else if (a == "--page") {
          Page(Next(args, i));
        } else if (a == "--answer") {
          const std::string v = Next(args, i);
          if (v != "yes" && v != "no") throw ArgumentError{"--answer takes yes or no, not " + v};
          ws_.SetDefaultAnswer(v == "yes" ? MsgResult::Yes : MsgResult::No);
        } else if (a == "--points") {
          summary_.points = true;
        } else if (a == "--size") {
          Size(Next(args, i));
        } else if (a == "--json") {
          std::string file;
          if (i + 1 < args.size() && !StartsWith(args[i + 1], "--") && args[i + 1].size() > 5 &&
              args[i + 1].compare(args[i + 1].size() - 5, 5, ".json") == 0)
            file = args[++i];
          Json(file);
        } else if (a == "--plot") {
          const std::string& name = Next(args, i);
          PlotTo(name, Next(args, i));
        } else if (a == "--save-method" || a == "--export" || a == "--report") {
          throw ArgumentError{a + " is not available in this version"};
        } else if (a == "--help") {
          out_ << "usage: kelvaris-cli [OPTION | FILE]...\n";
        } else {
          throw ArgumentError{"unknown argument " + a};
        }
      }
    } catch (const ArgumentError& e) {
      err_ << "kelvaris-cli: " << e.message << "\n";
      return 2;
    }
    return loadFailed_ ? 1 : 0;
  }

 private:
  TMainForm& form() { return *app_.MainForm; }

  static const std::string& Next(const std::vector<std::string>& args, std::size_t& i) {
    if (i + 1 >= args.size()) throw ArgumentError{args[i] + " needs a value"};
    return args[++i];
  }

  static std::pair<std::string, std::string> NameValue(const std::string& arg) {
    const std::size_t eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) throw ArgumentError{"expected NAME=VALUE, not " + arg};
    return {arg.substr(0, eq), arg.substr(eq + 1)};
  }

  // Several files given together load like several files chosen at once.
  void LoadFiles(const std::vector<std::string>& files, bool merge) {
    TMainForm& f = form();
    ws_.FireAllTimers();
    f.Experiment.Busy = true;
    f.Experiment.InstrumentKind = 0;
    const bool chosenMerge = merge && f.Experiment.DataLoaded;
    for (std::size_t k = 0; k < files.size(); ++k) {
      f.Merge = k == 0 ? chosenMerge : true;
      if (!f.LoadDataFile(files[k], true)) loadFailed_ = true;
    }
    f.Merge = false;
    if (f.Experiment.DataLoaded) {
      f.RunChain(0);
      f.RefreshDataPage();
    }
    f.Experiment.Busy = false;
  }

  void SetOption(const std::string& arg) {
    auto [name, value] = NameValue(arg);
    const bool on = ParseOnOff(value, arg);
    if (name == "ClearMethod") form().ClearMethod = on;
    else if (name == "LoadAssociatedData") form().LoadAssociatedData = on;
    else throw ArgumentError{"unknown option " + name};
  }

  Control& Find(const std::string& name) {
    Control* c = form().Controls.Find(name);
    if (!c) throw ArgumentError{"no control named " + name};
    return *c;
  }

  // NAME[B3]=text or NAME[row,col]=text: the user selects the cell and
  // types the text into it.
  // NAME[B3] or NAME[row,col]: the grid and the cell.
  TKelvarisGrid& GridCell(const std::string& name, const std::string& arg, int& col, int& row) {
    const std::size_t open = name.find('[');
    if (name.back() != ']' || open == 0) throw ArgumentError{"expected NAME[B3] in " + arg};
    Control& c = Find(name.substr(0, open));
    if (c.Kind() != ControlKind::Grid) throw ArgumentError{c.Name() + " is not a grid"};
    auto& grid = static_cast<TKelvarisGrid&>(c);
    const std::string cell = name.substr(open + 1, name.size() - open - 2);
    col = row = -1;
    const std::size_t comma = cell.find(',');
    if (comma != std::string::npos) {
      try {
        std::size_t used1 = 0, used2 = 0;
        row = std::stoi(cell.substr(0, comma), &used1);
        col = std::stoi(cell.substr(comma + 1), &used2);
        if (used1 != comma || used2 != cell.size() - comma - 1) row = col = -1;
      } catch (const std::exception&) {
        row = col = -1;
      }
    } else if (!ParseCellLabel(cell, col, row)) {
      col = row = -1;
    }
    if (!grid.InGrid(col, row)) throw ArgumentError{"no cell " + cell + " in " + grid.Name()};
    return grid;
  }

  // A left click in the middle of a grid cell: NAME[B3] or NAME[row,col].
  void ClickGridCell(const std::string& name) {
    int col = -1, row = -1;
    TKelvarisGrid& grid = GridCell(name, name, col, row);
    const Rect r = grid.CellRect(col, row);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    grid.MouseDown(MouseButton::Left, ssNone, x, y);
    grid.MouseUp(MouseButton::Left, ssNone, x, y);
  }

  void SetGridCell(const std::string& name, const std::string& value, const std::string& arg) {
    int col = -1, row = -1;
    TKelvarisGrid& grid = GridCell(name, arg, col, row);
    const std::string cell = name.substr(name.find('[') + 1, name.size() - name.find('[') - 2);
    if (!grid.CanSelect(col, row) || grid.GetReadOnlyCol(col))
      throw ArgumentError{"cell " + cell + " of " + grid.Name() + " cannot be edited"};
    grid.ClearSelection();
    grid.SetSelected(col, row, true);
    grid.SetCursorCell(col, row);
    grid.SetEditingAllowed(true);
    grid.OpenEditor();
    grid.EditorText(value);
    grid.CloseEditor();
    int enter = vkReturn;
    grid.KeyDown(enter, ssNone);
    grid.ClearSelection();
  }

  void Set(const std::string& arg) {
    auto [name, value] = NameValue(arg);
    if (name.find('[') != std::string::npos) {
      SetGridCell(name, value, arg);
      return;
    }
    Control& c = Find(name);
    switch (c.Kind()) {
      case ControlKind::EditBox: {
        auto& box = static_cast<EditBox&>(c);
        for (char key : value) box.UserKey(key);
        box.UserSetText(value);
        break;
      }
      case ControlKind::CheckBox: {
        auto& box = static_cast<CheckBox&>(c);
        if (box.Checked() != ParseOnOff(value, arg)) box.UserClick();
        break;
      }
      case ControlKind::RadioGroup: {
        auto& group = static_cast<RadioGroup&>(c);
        group.UserSelect(ItemIndex(group, value, arg));
        break;
      }
      case ControlKind::ComboBox:
      case ControlKind::ListBox: {
        auto& combo = static_cast<ComboBox&>(c);
        combo.UserSelect(ItemIndex(combo, value, arg));
        break;
      }
      case ControlKind::UpDown: {
        try {
          static_cast<UpDown&>(c).UserSetPosition(std::stoi(value));
        } catch (const std::exception&) {
          throw ArgumentError{"expected a whole number in " + arg};
        }
        break;
      }
      case ControlKind::PageControl: {
        // A tab by its caption or #k (the main page control goes with --page).
        auto& tabs = static_cast<PageControl&>(c);
        int k = value.size() > 1 && value[0] == '#' ? WholeNumberOr(value.substr(1), -1) : tabs.IndexOfCaption(value);
        if (k < 0 || k >= tabs.PageCount()) throw ArgumentError{"no tab \"" + value + "\" in " + arg};
        tabs.UserSelect(k);
        break;
      }
      case ControlKind::Action: {
        auto& action = static_cast<Action&>(c);
        if (!action.Checkable()) throw ArgumentError{name + " is pressed with --click"};
        if (action.Checked() != ParseOnOff(value, arg)) action.Click();
        break;
      }
      default:
        throw ArgumentError{name + " cannot be set"};
    }
  }

  void Click(const std::string& name) {
    if (name.find('[') != std::string::npos) {
      ClickGridCell(name);
      return;
    }
    Control& c = Find(name);
    if (c.Kind() == ControlKind::Action) static_cast<Action&>(c).Click();
    else if (c.Kind() == ControlKind::CheckBox) static_cast<CheckBox&>(c).UserClick();
    else throw ArgumentError{name + " cannot be clicked"};
  }

  // A page by its designed caption ("Zero", "Bound"), or by what its tab shows.
  void Page(const std::string& caption) {
    PageControl& pages = form().Pages;
    auto same = [](const std::string& a, const std::string& b) {
      return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
             });
    };
    int index = -1;
    for (int p = 0; p < kPageCount && index < 0; ++p)
      if (same(PageInfo(p).caption, caption)) index = p;
    if (index < 0) index = pages.IndexOfCaption(caption);
    if (index < 0) throw ArgumentError{"no page " + caption};
    ws_.FireAllTimers();
    pages.UserSelect(index);
  }

  void Size(const std::string& value) {
    const std::size_t x = value.find('x');
    try {
      width_ = std::stoi(value.substr(0, x));
      height_ = std::stoi(value.substr(x + 1));
    } catch (const std::exception&) {
      throw ArgumentError{"--size takes WxH, not " + value};
    }
    if (x == std::string::npos || width_ < 16 || height_ < 16 || width_ > 16384 || height_ > 16384)
      throw ArgumentError{"--size takes WxH from 16x16 to 16384x16384, not " + value};
  }

  void PlotTo(const std::string& name, const std::string& file) {
    Control& c = Find(name);
    if (c.Kind() != ControlKind::Graph) throw ArgumentError{name + " is not a graph"};
    if (!Writer()) throw ArgumentError{"--plot needs the window build of kelvaris-cli"};
    ws_.FireAllTimers();
    std::string error;
    if (!Writer()(static_cast<TPlot&>(c), file, width_, height_, error)) throw ArgumentError{error};
  }

  void Json(const std::string& file) {
    ws_.FireAllTimers();
    const std::string text = BuildSummary(form(), ws_, summary_).dump(2) + "\n";
    if (file.empty()) {
      out_ << text;
      return;
    }
    std::ofstream f(file, std::ios::binary);
    if (!f) throw ArgumentError{"cannot write " + file};
    f << text;
  }

  std::ostream& out_;
  std::ostream& err_;
  HeadlessWindowSystem ws_;
  TApplication app_;
  SummaryOptions summary_;
  bool loadFailed_ = false;
  int width_ = 800;
  int height_ = 600;
};

}  // namespace

void SetPlotWriter(PlotWriter writer) { Writer() = std::move(writer); }

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliSession session(out, err);
  return session.Run(args);
}

}  // namespace kelvaris
