// What a reader delivers: a fresh raw curve set with its curve descriptions
// and the facts of the run the file states. The loader makes it the
// experiment's raw stage only when the read succeeded, so a refused or
// broken file leaves the loaded curves exactly as they were.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/curve_info.h"
#include "model/curve_set.h"
#include "platform/window_system.h"

namespace kelvaris {

struct ReadMessage {
  std::string text;
  std::string caption;
  MsgIcon icon = MsgIcon::None;
};

// How flow cells are named once the ligand list covers the data.
enum class FlowCellNaming {
  Keep,          // entries keep the names they have
  Default,       // every entry gets its default name ("Flowcell", "Flowcell 1", ...)
  General,       // "Flowcell", then "Flowcell %d" for 1 to n
  ThreeSpots,    // "Flowcell", "Spot 1", "Spot 2", "Spot R"
  FourFlowCells, // "Flowcell", then "Flowcell %d" for 1 to 4
};

// The sample and analyte tables as a reader lays them out: one table row
// per cycle (with its analyte, 0-based), `columns` table columns, and the
// analyte names.
struct RowAnalyteLayout {
  int rows = 0;
  int columns = 0;
  std::vector<int> analytePerRow;
  std::vector<std::string> analyteNames;
};

struct RawRun {
  TCurveSet curves;
  std::vector<TCurveInfo> info;
  int highestFlowCell = 1;  // the ligand list must cover it
  FlowCellNaming naming = FlowCellNaming::Keep;
  bool carriesConcentrations = false;
  std::optional<int> instrumentKind;
  std::optional<double> temperature;  // deg C
  std::optional<double> flowRate;     // ul/min
  // Names the file gives flow cells, by flow-cell number (entry 0 is the
  // header entry); they replace the default names once the ligand list
  // covers the data. Empty texts leave a name as it is.
  std::vector<std::string> ligandNames;
  // The tables as the file lays them out, applied by the loader.
  std::optional<RowAnalyteLayout> rowAnalyteLayout;
  // A successful read that found no curves to replace the loaded ones with
  // (a tagged file without its data section): the loaded curves stay.
  bool keepsLoadedCurves = false;
};

// Progress of a read in tenths (0 to 10). The loader shows it and lets
// pending window messages run.
using ReadProgress = std::function<void(int tenths)>;

// The largest raw stage a reader may ask for, in points (curves x capacity);
// beyond it the allocation is refused like any impossible one.
constexpr long long kMaxRawPoints = 256LL * 1024 * 1024;

// Sizes the raw curve set for n curves of m points, with the initial curve
// descriptions. Fails with "Bad allocation request" for n < 1, m < 1, or a
// size that cannot be had.
bool AllocateRawRun(RawRun& run, long long curves, long long capacity, ReadMessage& message);

// Sends a progress value only when it differs from the last one sent.
class ProgressSteps {
 public:
  ProgressSteps(const ReadProgress& progress, long long total) : progress_(progress), total_(total) {}
  void At(long long done) {
    if (!progress_ || total_ <= 0) return;
    const int v = static_cast<int>(done * 10 / total_);
    if (v != last_) {
      last_ = v;
      progress_(v);
    }
  }

 private:
  const ReadProgress& progress_;
  long long total_;
  int last_ = 0;
};

}  // namespace kelvaris
