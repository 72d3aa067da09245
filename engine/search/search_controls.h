// The controls of the Search Module window by kind, and the enabling of
// them by kind through the view state, as the search, the index loading and
// the HTML report do while they run.
#pragma once

#include <string_view>
#include <vector>

#include "engine/common/ports.h"

namespace orvane {

// Sets the enabled state of the window's buttons, check boxes, option
// buttons and combo boxes, and of its frames, text boxes and labels when
// those flags are set; then repaints the window.
void SetSearchControlsEnabled(ViewState& view, bool enabled, bool frames,
                              bool text_boxes, bool labels);

// Every control of the Search Module window that the engine addresses by
// name: the buttons, check boxes, option buttons and combo boxes, the
// frames, the text boxes and the labels.
std::vector<std::string_view> SearchControlNames();

}  // namespace orvane
