// Tagged text: the result export of an array instrument that measures many
// spots per cycle. Lines are split into fields by the record separator
// (0x1E); sections open with a line holding "<T_>" and close with a line
// holding "</T_>". Four sections are read, each using what the earlier ones
// found:
//   FILETAG          the concentration unit letter ("ConcUnit=nM" gives n)
//   CYCLE            one sample name per cycle; distinct names are analytes
//   XYMULTISPOTDATA  per line: cycle, time and one response per spot
//   CURVEKEYWORD     per curve keywords, among them the concentration
// The curve of cycle h (from 1) and spot g (from 0) is (h - 1) * S + g; each
// group of five spots is one column of the sample table (flow cells 1 to 5)
// and each cycle one row.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/raw_run.h"
#include "import/text_input.h"

namespace kelvaris {

// The field separator of tagged text.
constexpr char kTaggedFieldSeparator = '\x1e';

// Field k of a line (0 is the text before the first separator); empty when
// the line has fewer fields.
std::string_view TaggedField(std::string_view line, int k);

// The section a line opens, or nothing when it holds no "<T_>". The name is
// the text after "<T_>" up to the next "<TX>", or, without one, the rest of
// the line less its last character.
std::optional<std::string_view> TaggedSectionName(std::string_view line);

// The names and cycles the CYCLE section lists: distinct sample names in
// order of first appearance (matched without regard to case), and per cycle
// the index of its name.
struct TaggedCycles {
  std::vector<std::string> names;
  std::vector<int> nameOfCycle;
};

// Each section reader starts at the line after the section's opening line
// and leaves the cursor after its closing line (or at the end of the text).

// The unit letter of the concentrations (0 when the section names none).
// Stops right after the "ConcUnit" line; the main loop skips the rest.
char ReadFileTagSection(TextCursor& in);

// Appends the section's cycles to `cycles`.
void ReadCycleSection(TextCursor& in, TaggedCycles& cycles);

// Counts the section, allocates the raw stage for `cycleCount` cycles of S
// spots and fills it. False (the raw stage untouched) when there are no
// cycles or no data line, or when the allocation is refused (with its
// message).
bool ReadSpotDataSection(TextCursor& in, int cycleCount, RawRun& run, int& spots, ReadMessage& message,
                         const ReadProgress& progress);

// Sets concentration, injection and flow cell of every curve the section
// gives a "Conc" keyword; lines that name no curve of `run` are skipped.
void ReadCurveKeywordSection(TextCursor& in, char unit, int spots, int cycleCount, RawRun& run);

// The whole file. A file without a data section succeeds with
// `keepsLoadedCurves` set.
bool ReadTaggedText(std::string_view bytes, RawRun& run, ReadMessage& message, const ReadProgress& progress);

}  // namespace kelvaris
