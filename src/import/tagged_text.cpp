#include "import/tagged_text.h"

#include <algorithm>
#include <cctype>

#include "import/data_readers.h"
#include "model/numbers.h"
#include "model/sample_layout.h"

namespace kelvaris {

namespace {

constexpr std::string_view kOpen = "<T_>";
constexpr std::string_view kClose = "</T_>";
constexpr std::string_view kNameEnd = "<TX>";

bool Contains(std::string_view s, std::string_view what) { return s.find(what) != std::string_view::npos; }

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// A cycle number as the data lines give it: a whole number, 1 when the
// text is none.
int CycleNumber(std::string_view text) {
  const int h = ReadWholeNumber(text);
  return h != 0 || text == "0" ? h : 1;
}

// The lines of one section: from the cursor up to the closing line, which
// is consumed too.
template <typename Fn>
void ForEachSectionLine(TextCursor& in, Fn fn) {
  while (!in.AtEnd()) {
    const std::string_view line = in.ReadLine();
    if (Contains(line, kClose)) return;
    fn(line);
  }
}

}  // namespace

std::string_view TaggedField(std::string_view line, int k) {
  std::size_t start = 0;
  for (int i = 0; i < k; ++i) {
    const std::size_t rs = line.find(kTaggedFieldSeparator, start);
    if (rs == std::string_view::npos) return {};
    start = rs + 1;
  }
  const std::size_t end = line.find(kTaggedFieldSeparator, start);
  return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::optional<std::string_view> TaggedSectionName(std::string_view line) {
  const std::size_t open = line.find(kOpen);
  if (open == std::string_view::npos) return std::nullopt;
  std::string_view rest = line.substr(open + kOpen.size());
  const std::size_t end = rest.find(kNameEnd);
  if (end != std::string_view::npos) return rest.substr(0, end);
  if (!rest.empty()) rest.remove_suffix(1);  // the line's last character
  return rest;
}

char ReadFileTagSection(TextCursor& in) {
  while (!in.AtEnd()) {
    const std::string_view line = in.ReadLine();
    if (Contains(line, kClose)) return 0;
    const std::string_view settings = TaggedField(line, 3);
    if (!Contains(settings, "ConcUnit")) continue;
    const std::size_t eq = settings.find('=');
    if (eq == std::string_view::npos) continue;
    // The rest of the section is left to the main loop.
    return eq + 1 < settings.size() ? settings[eq + 1] : 0;
  }
  return 0;
}

void ReadCycleSection(TextCursor& in, TaggedCycles& cycles) {
  ForEachSectionLine(in, [&](std::string_view line) {
    const std::string_view name = TaggedField(line, 3);
    if (name.empty()) return;
    auto it = std::find_if(cycles.names.begin(), cycles.names.end(),
                           [&](const std::string& n) { return SameNoCase(n, name); });
    if (it == cycles.names.end()) {
      cycles.names.emplace_back(name);
      it = cycles.names.end() - 1;
    }
    cycles.nameOfCycle.push_back(static_cast<int>(it - cycles.names.begin()));
  });
}

bool ReadSpotDataSection(TextCursor& in, int cycleCount, RawRun& run, int& spots, ReadMessage& message,
                         const ReadProgress& progress) {
  const std::size_t start = in.Position();
  // First pass: the widest line gives the spots; every cycle's curves get
  // room for all of its lines, wherever they stand in the section.
  long long separators = 0;
  std::vector<long long> linesOfCycle(static_cast<std::size_t>(std::max(cycleCount, 0)) + 1, 0);
  long long lines = 0;
  ForEachSectionLine(in, [&](std::string_view line) {
    separators = std::max<long long>(separators, std::count(line.begin(), line.end(), kTaggedFieldSeparator));
    const std::string_view cycle = TaggedField(line, 2);
    if (cycle.empty()) return;
    const int h = CycleNumber(cycle);
    if (h >= 1 && h <= cycleCount) ++linesOfCycle[h];
    ++lines;
  });
  const std::size_t end = in.Position();
  const long long capacity = *std::max_element(linesOfCycle.begin(), linesOfCycle.end());
  if (cycleCount == 0 || capacity == 0) return false;
  const long long s = separators - 4;
  if (!AllocateRawRun(run, static_cast<long long>(cycleCount) * s, capacity, message)) return false;
  spots = static_cast<int>(s);

  // Second pass. A line with fewer values than spots repeats the previous
  // line's values for the missing spots (0 on the first line).
  TCurveSet& set = run.curves;
  std::vector<double> values(static_cast<std::size_t>(spots), 0.0);
  ProgressSteps steps(progress, lines);
  long long done = 0;
  in.Seek(start);
  while (in.Position() < end && !in.AtEnd()) {
    const std::string_view line = in.ReadLine();
    if (Contains(line, kClose)) break;
    std::string_view cycleText;
    double time = 0;
    std::size_t fieldStart = 0;
    int field = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] != kTaggedFieldSeparator) continue;
      const std::string_view text = line.substr(fieldStart, i - fieldStart);
      if (field == 2) cycleText = text;
      if (field == 3) time = ParseNumber(text, 0);
      if (field >= 4 && field - 4 < spots) values[field - 4] = ParseNumber(text, 0);
      ++field;
      fieldStart = i + 1;
    }
    // Field 2 counts also when no separator follows it.
    if (field == 2) cycleText = line.substr(fieldStart);
    if (cycleText.empty()) continue;
    const int h = CycleNumber(cycleText);
    if (h < 1 || h > cycleCount) continue;  // a cycle the CYCLE section does not have
    for (int g = 0; g < spots; ++g) {
      const int c = (h - 1) * spots + g;
      if (set.PointCount[c] >= set.Capacity) break;
      set.Append(c, time, values[g], 0, set.PointCount[c]);
    }
    steps.At(++done);
  }
  in.Seek(end);
  return true;
}

void ReadCurveKeywordSection(TextCursor& in, char unit, int spots, int cycleCount, RawRun& run) {
  ForEachSectionLine(in, [&](std::string_view line) {
    if (!Contains(TaggedField(line, 4), "Conc")) return;
    const int h = ReadWholeNumber(TaggedField(line, 2));
    const int g = ReadWholeNumber(TaggedField(line, 3));
    // Only a curve of the data section can take the keyword.
    if (spots < 1 || h < 1 || h > cycleCount || g < 0 || g >= spots) return;
    const long long c = static_cast<long long>(h - 1) * spots + g;
    if (c >= run.curves.CurveCount) return;
    std::string value(TaggedField(line, 5));
    if (unit) value += unit;
    TCurveInfo& info = run.info[static_cast<std::size_t>(c)];
    info.Concentration = ReadMolarText(value);
    info.Injection = cycleCount * (g / 5) + h;
    info.FlowCell = g % 5 + 1;
  });
}

bool ReadTaggedText(std::string_view bytes, RawRun& run, ReadMessage& message, const ReadProgress& progress) {
  run.highestFlowCell = 5;
  run.naming = FlowCellNaming::Default;
  TextCursor in(TextPart(bytes));
  char unit = 0;
  TaggedCycles cycles;
  int spots = 0;
  bool haveData = false;
  while (!in.AtEnd()) {
    const std::optional<std::string_view> name = TaggedSectionName(in.ReadLine());
    if (!name) continue;
    const int cycleCount = static_cast<int>(cycles.nameOfCycle.size());
    if (*name == "FILETAG") {
      unit = ReadFileTagSection(in);
    } else if (*name == "CYCLE") {
      ReadCycleSection(in, cycles);
    } else if (*name == "XYMULTISPOTDATA") {
      // A second data section would replace the first; the first one counts.
      if (haveData) continue;
      if (!ReadSpotDataSection(in, cycleCount, run, spots, message, progress)) return false;
      haveData = true;
    } else if (*name == "CURVEKEYWORD") {
      ReadCurveKeywordSection(in, unit, spots, cycleCount, run);
    }
  }
  if (!haveData) {
    // Nothing to replace the loaded curves with, and no spots to lay out.
    run.keepsLoadedCurves = true;
    return true;
  }
  for (int c = 0; c < run.curves.CurveCount; ++c) {
    const std::size_t cycle = static_cast<std::size_t>(c / spots);
    run.info[c].Analyte = cycle < cycles.nameOfCycle.size() ? cycles.nameOfCycle[cycle] + 1 : 1;
  }
  RowAnalyteLayout layout;
  layout.rows = static_cast<int>(cycles.nameOfCycle.size());
  layout.columns = spots / 5;
  layout.analytePerRow = cycles.nameOfCycle;
  layout.analyteNames = cycles.names;
  run.rowAnalyteLayout = std::move(layout);
  return true;
}

}  // namespace kelvaris
