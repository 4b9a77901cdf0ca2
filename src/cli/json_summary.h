// The JSON summary of the command-line tool: the state of the window, its
// controls and every stage's curves.
#pragma once

#include <nlohmann/json.hpp>

#include "app/main_form.h"
#include "platform/headless_window_system.h"

namespace kelvaris {

struct SummaryOptions {
  bool points = false;  // every point of every curve
};

nlohmann::ordered_json BuildSummary(const TMainForm& form, const HeadlessWindowSystem& ws,
                                    const SummaryOptions& options);

// The value a control shows, as the summary lists it (null when it has none).
nlohmann::ordered_json ControlValue(const Control& control);

}  // namespace kelvaris
