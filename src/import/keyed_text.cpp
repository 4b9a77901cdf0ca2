#include "import/keyed_text.h"

#include <algorithm>
#include <vector>

#include "import/keyed_data_rows.h"
#include "import/keyed_rows.h"
#include "import/text_input.h"

namespace kelvaris {

namespace {

constexpr char kReadError[] = "File Read Error";

bool Refuse(ReadMessage& message, const char* text, const char* caption = kReadError) {
  message = {text, caption, MsgIcon::None};
  return false;
}

struct Shape {
  long long curves = 0;
  long long rows = 0;
  std::size_t keyRows = 0;  // where line 2 begins
};

// The column header is the first line after the version line that begins
// with "Time". Only a line start counts: the export writes analyte and
// ligand names into the key rows, and a name holding "Time" must not be
// taken for the header.
std::size_t FindHeader(std::string_view text, std::size_t from) {
  std::size_t pos = from;
  while (pos < text.size()) {
    if (text.compare(pos, 4, "Time") == 0) return pos;
    const std::size_t lf = text.find('\n', pos);
    if (lf == std::string_view::npos) break;
    pos = lf + 1;
  }
  return std::string_view::npos;
}

bool ReadShape(std::string_view text, bool severalColumns, Shape& shape, ReadMessage& message) {
  const std::size_t versionEnd = text.find('\n');
  if (versionEnd == std::string_view::npos) return Refuse(message, "Unreadable format");
  shape.keyRows = versionEnd + 1;
  const std::size_t header = FindHeader(text, shape.keyRows);
  if (header == std::string_view::npos) return Refuse(message, "Unreadable format");
  const std::size_t headerEnd = text.find('\n', header + 4);
  if (headerEnd == std::string_view::npos) return Refuse(message, "Unreadable format");
  const std::string_view rest = text.substr(header + 4, headerEnd - header - 4);

  if (severalColumns) {
    // Every further curve starts with a TAB directly followed by its "Time".
    long long starts = 0;
    for (std::size_t i = 0; i + 1 < rest.size(); ++i)
      if (rest[i] == '\t' && rest[i + 1] == 'T') ++starts;
    shape.curves = starts + 1;
  } else {
    const long long tabs = std::count(rest.begin(), rest.end(), '\t');
    if (tabs % 2 == 0) return Refuse(message, "Unreadable format");
    shape.curves = (tabs + 1) / 2;
  }
  shape.rows = static_cast<long long>(CountLineFeeds(text.substr(headerEnd + 1)));
  if (shape.curves < 1 || shape.rows < 2)
    return Refuse(message, "Poorly formated file", "Load Error");
  return true;
}

// ---------------------------------------------------------------------------
// Key rows. Each action reads from just after the four key characters.

int LigandEntries(const RawRun& run) { return std::max(1, run.highestFlowCell) + 1; }

bool ReadConcentrations(TextCursor& in, RawRun& run) {
  std::vector<double> values(run.info.size());
  for (std::size_t c = 0; c < values.size(); ++c) values[c] = run.info[c].Concentration;
  const bool ok = ReadKeyedValues(in, run.curves.CurveCount, values);
  for (std::size_t c = 0; c < values.size(); ++c) run.info[c].Concentration = values[c];
  return ok;
}

bool CheckValues(TextCursor& in, RawRun& run) {
  return ReadKeyedValues(in, run.curves.CurveCount, {});
}

bool ReadCycles(TextCursor& in, RawRun& run) {
  std::vector<int> values(run.info.size());
  for (std::size_t c = 0; c < values.size(); ++c) values[c] = run.info[c].Injection;
  const bool ok = ReadKeyedWholeNumbers(in, run.curves.CurveCount, values, 0, kMaxKeyedInjection);
  for (std::size_t c = 0; c < values.size(); ++c) run.info[c].Injection = values[c];
  return ok;
}

bool ReadChannels(TextCursor& in, RawRun& run) {
  std::vector<int> values(run.info.size());
  for (std::size_t c = 0; c < values.size(); ++c) values[c] = run.info[c].FlowCell;
  const bool ok = ReadKeyedWholeNumbers(in, run.curves.CurveCount, values, 0, kMaxKeyedFlowCell);
  for (std::size_t c = 0; c < values.size(); ++c) {
    run.info[c].FlowCell = values[c];
    run.highestFlowCell = std::max(run.highestFlowCell, values[c]);
  }
  return ok;
}

bool ReadLigandNames(TextCursor& in, RawRun& run) {
  return ReadKeyedNames(in, run.info, LigandEntries(run), run.ligandNames);
}

// One value; zero (or none) leaves the flow rate as it was. The row must
// end with a line feed.
bool ReadFlowRate(TextCursor& in, RawRun& run) {
  double rate = 0;
  ReadKeyedValues(in, 1, std::span<double>(&rate, 1));
  if (rate != 0) run.flowRate = rate;
  for (;;) {
    const int ch = in.Peek();
    if (ch == TextCursor::kEnd) return false;
    if (ch == '\n') return true;
    in.Get();
  }
}

struct KeyAction {
  const char* key;
  bool (*read)(TextCursor&, RawRun&);
  const char* failure;
};

constexpr KeyAction kKeyActions[] = {
    {"Conc", &ReadConcentrations, "Error in concs"},
    {"Star", &CheckValues, "Error in start time"},
    {"Stop", &CheckValues, "Error in stop time"},
    {"RInd", &CheckValues, "Error in ref ind"},
    {"Cycl", &ReadCycles, "Error in cycles"},
    {"Chan", &ReadChannels, "Error in flow cells"},
    {"Liga", &ReadLigandNames, "Error in flow cells"},
    {"Flow", &ReadFlowRate, "Error in flow"},
};

// Reads the key rows line by line from line 2 until the column header, then
// the data rows. Rows with other keys (such as "Analyte1") are passed over.
bool ReadKeyRowsAndData(TextCursor& in, bool severalColumns, int columnMask, long long rows,
                        RawRun& run, ReadMessage& message, const ReadProgress& progress) {
  for (;;) {
    if (in.AtEnd()) return true;
    const std::size_t lineStart = in.Position();
    char key[4];
    for (char& k : key) {
      const int ch = in.Get();
      if (ch == TextCursor::kEnd) return Refuse(message, "Unreadable format");
      k = static_cast<char>(ch);
    }
    const std::string_view word(key, 4);
    if (word == "Time") {
      in.ReadLine();
      return !severalColumns ? ReadKeyedPairRows(in, run, rows, message, progress)
                             : ReadKeyedColumnRows(in, run, columnMask, rows, message, progress);
    }
    for (const KeyAction& action : kKeyActions) {
      if (word != action.key) continue;
      if (!action.read(in, run)) return Refuse(message, action.failure);
      break;
    }
    in.Seek(lineStart);
    in.ReadLine();
  }
}

bool ReadKeyed(std::string_view bytes, bool severalColumns, int columnMask, RawRun& run,
               ReadMessage& message, const ReadProgress& progress) {
  const std::string_view text = TextPart(bytes);
  Shape shape;
  if (!ReadShape(text, severalColumns, shape, message)) return false;
  if (!AllocateRawRun(run, shape.curves, shape.rows, message)) return false;
  for (int c = 0; c < run.curves.CurveCount; ++c) run.info[c].Injection = c + 1;
  run.highestFlowCell = 1;
  run.naming = FlowCellNaming::Default;

  TextCursor in(text);
  in.Seek(shape.keyRows);
  return ReadKeyRowsAndData(in, severalColumns, columnMask, shape.rows, run, message, progress);
}

bool HasSeveralColumns(int mask) {
  return mask >= 1 && mask <= 7 && (mask & 1) + ((mask >> 1) & 1) + ((mask >> 2) & 1) >= 2;
}

}  // namespace

bool ReadKeyedText(std::string_view bytes, RawRun& run, ReadMessage& message,
                   const ReadProgress& progress) {
  return ReadKeyed(bytes, false, 1, run, message, progress);
}

bool ReadKeyedMultiColumnText(std::string_view bytes, int columnMask, RawRun& run,
                              ReadMessage& message, const ReadProgress& progress) {
  return ReadKeyed(bytes, true, columnMask & 7, run, message, progress);
}

bool KeyedTextReader(std::string_view bytes, const ReaderOptions& options, RawRun& run,
                     ReadMessage& message, const ReadProgress& progress) {
  if (HasSeveralColumns(options.columnMask))
    return ReadKeyedMultiColumnText(bytes, options.columnMask, run, message, progress);
  return ReadKeyedText(bytes, run, message, progress);
}

}  // namespace kelvaris
