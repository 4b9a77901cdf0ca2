#include "import/tagged_text.h"

#include <algorithm>
#include <cctype>
#include <climits>

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

// A whole number as the files write cycle and spot numbers (blanks around
// it allowed), or `fallback` when the text is none or does not fit an int.
long long WholeNumberOr(std::string_view text, long long fallback) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 10) return fallback;
  long long v = 0;
  for (char ch : text) {
    if (!std::isdigit(static_cast<unsigned char>(ch))) return fallback;
    v = v * 10 + (ch - '0');
  }
  if (v > INT_MAX) return fallback;
  return negative ? -v : v;
}

// The cycle of a data line: 1 when its text is not a whole number. Zero and
// negative numbers stay what they are and name no cycle.
long long CycleNumber(std::string_view text) { return WholeNumberOr(text, 1); }

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
  if (k < 0) return {};
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
  // Only a "<TX>" after the tag ends the name; one before it does not count.
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
  const std::size_t cycles = cycleCount > 0 ? static_cast<std::size_t>(cycleCount) : 0;

  // First pass. The widest line gives the spots and the longest run of one
  // cycle's lines the points; a cycle whose lines are split into several
  // runs gets room for all of them. Lines of cycles the CYCLE section does
  // not list have no curves and are dropped in the second pass.
  long long separators = 0;
  long long longestRun = 0;
  long long runLength = 0;
  long long runCycle = 0;
  long long dataLines = 0;
  std::vector<long long> linesOfCycle(cycles, 0);
  ForEachSectionLine(in, [&](std::string_view line) {
    separators = std::max<long long>(separators, std::count(line.begin(), line.end(), kTaggedFieldSeparator));
    const std::string_view cycleText = TaggedField(line, 2);
    if (cycleText.empty()) return;
    const long long h = CycleNumber(cycleText);
    runLength = dataLines > 0 && h == runCycle ? runLength + 1 : 1;
    runCycle = h;
    longestRun = std::max(longestRun, runLength);
    ++dataLines;
    if (h >= 1 && h <= static_cast<long long>(cycles)) ++linesOfCycle[static_cast<std::size_t>(h - 1)];
  });
  const std::size_t end = in.Position();
  if (cycles == 0 || dataLines == 0) return false;

  long long capacity = longestRun;
  for (long long n : linesOfCycle) capacity = std::max(capacity, n);
  const long long s = separators - 4;
  if (!AllocateRawRun(run, static_cast<long long>(cycles) * s, capacity, message)) return false;
  spots = static_cast<int>(s);

  // Second pass. Time and values carry over from line to line, so a line
  // with fewer value fields repeats the previous line's values for the
  // missing spots (0 before any line has given them).
  TCurveSet& set = run.curves;
  std::vector<double> values(static_cast<std::size_t>(spots), 0.0);
  double time = 0;
  ProgressSteps steps(progress, dataLines);
  long long done = 0;
  in.Seek(start);
  while (in.Position() < end && !in.AtEnd()) {
    const std::string_view line = in.ReadLine();
    if (Contains(line, kClose)) break;
    std::string_view cycleText;
    std::size_t fieldStart = 0;
    int field = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] != kTaggedFieldSeparator) continue;
      const std::string_view text = line.substr(fieldStart, i - fieldStart);
      if (field == 2) cycleText = text;
      if (field == 3) time = ParseNumber(text, 0);
      if (field >= 4 && field - 4 < spots) values[static_cast<std::size_t>(field - 4)] = ParseNumber(text, 0);
      ++field;
      fieldStart = i + 1;
    }
    // Field 2 counts also when no separator follows it.
    if (field == 2) cycleText = line.substr(fieldStart);
    if (cycleText.empty()) continue;
    steps.At(++done);
    const long long h = CycleNumber(cycleText);
    if (h < 1 || h > static_cast<long long>(cycles)) continue;  // a cycle without curves
    const int first = static_cast<int>(h - 1) * spots;
    const int index = set.PointCount[first];  // the same for every spot of the cycle
    if (index >= set.Capacity) continue;
    for (int g = 0; g < spots; ++g) set.Append(first + g, time, values[static_cast<std::size_t>(g)], 0, index);
  }
  in.Seek(end);
  return true;
}

void ReadCurveKeywordSection(TextCursor& in, char unit, int spots, int cycleCount, RawRun& run) {
  ForEachSectionLine(in, [&](std::string_view line) {
    if (!Contains(TaggedField(line, 4), "Conc")) return;
    const long long h = WholeNumberOr(TaggedField(line, 2), 0);
    const long long g = WholeNumberOr(TaggedField(line, 3), 0);
    // Only a curve of the data section can take the keyword: before it
    // there are none, and a CYCLE section after it may list more cycles
    // than have curves.
    if (spots < 1 || h < 1 || h > cycleCount || g < 0 || g >= spots) return;
    const long long c = (h - 1) * spots + g;
    if (c >= run.curves.CurveCount) return;
    const long long injection = static_cast<long long>(cycleCount) * (g / 5) + h;
    if (injection > INT_MAX) return;
    std::string value(TaggedField(line, 5));
    // An upper-case M is the molar unit itself, not a prefix: read as a
    // prefix letter it would make every value a thousand times too small.
    if (unit && unit != 'M') value += unit;
    TCurveInfo& info = run.info[static_cast<std::size_t>(c)];
    info.Concentration = ReadMolarText(value);
    info.Injection = static_cast<int>(injection);
    info.FlowCell = static_cast<int>(g % 5) + 1;
  });
}

bool ReadTaggedText(std::string_view bytes, RawRun& run, ReadMessage& message, const ReadProgress& progress) {
  // The five spots of a group are flow cells 1 to 5, whatever the data.
  run.highestFlowCell = 5;
  run.naming = FlowCellNaming::Default;
  TextCursor in(TextPart(bytes));
  char unit = 0;
  TaggedCycles cycles;
  int spots = 0;
  bool versionLineSeen = false;
  while (!in.AtEnd()) {
    const std::string_view line = in.ReadLine();
    if (!versionLineSeen && Contains(line, "<FILEVERSION>")) {
      versionLineSeen = true;
      continue;
    }
    const std::optional<std::string_view> name = TaggedSectionName(line);
    if (!name) continue;
    const int cycleCount = static_cast<int>(cycles.nameOfCycle.size());
    if (*name == "FILETAG") {
      unit = ReadFileTagSection(in);
    } else if (*name == "CYCLE") {
      ReadCycleSection(in, cycles);
    } else if (*name == "XYMULTISPOTDATA") {
      // A later data section replaces the curves of an earlier one.
      if (!ReadSpotDataSection(in, cycleCount, run, spots, message, progress)) return false;
    } else if (*name == "CURVEKEYWORD") {
      ReadCurveKeywordSection(in, unit, spots, cycleCount, run);
    }
  }
  if (spots < 1 || !run.curves.Exists()) {
    // No data section: nothing replaces the loaded curves, and there are no
    // curves to give analytes or cells to.
    run.keepsLoadedCurves = true;
    return true;
  }
  for (int c = 0; c < run.curves.CurveCount; ++c) {
    const std::size_t cycle = static_cast<std::size_t>(c / spots);
    run.info[static_cast<std::size_t>(c)].Analyte =
        cycle < cycles.nameOfCycle.size() ? cycles.nameOfCycle[cycle] + 1 : 1;
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
