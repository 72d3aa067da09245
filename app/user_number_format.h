// The separators of numbers as the user's locale writes them, for the
// numbers that windows show with grouping.
#pragma once

#include "engine/text/number_text.h"

namespace orvane {

// The group separator and decimal point of the default QLocale.
NumberFormat UserNumberFormat();

}  // namespace orvane
