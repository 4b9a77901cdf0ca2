// The Dmso page's standard graph: each flow cell's solvent standards
// against the reference flow cell's, the fitted standard curves, and the
// samples' reference responses along the x axis. It keeps where it drew
// every standard, so that the mouse can find them.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/controls.h"

namespace kelvaris {

class TExperiment;

class TStandardGraph : public Control {
 public:
  explicit TStandardGraph(std::string name) : Control(std::move(name), ControlKind::Panel) {}

  void SetSize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Draws the graph for the flow cells shown (0: all); `on` is the
  // correction's switch.
  void Paint(Canvas& canvas, const TExperiment& e, bool on, int flowCellFilter, bool printer = false);
  void Invalidate() { Notify(); }

  struct Marker {
    int cell = 0;   // flow cell
    int index = 0;  // its standard
    int x = 0, y = 0;
    int injection = 0;
  };
  const std::vector<Marker>& Markers() const { return markers_; }
  // The standard under a pixel (squared distance below 20), or -1; the
  // index is into Markers().
  int MarkerAt(int x, int y) const;
  // The standards under the mouse are drawn filled.
  const std::vector<int>& Highlighted() const { return highlighted_; }
  void SetHighlighted(std::vector<int> markers);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Marker> markers_;
  std::vector<int> highlighted_;
};

// Tick spacing of the standard graph: 1, 0.5 or 0.2 times the decade of
// the range, by where its mantissa falls (`upper` above it gives 1,
// `lower` above it 0.5).
double StandardGraphStep(double range, double upper, double lower);

}  // namespace kelvaris
