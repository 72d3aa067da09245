// What the two modules' settings files share when they are saved: the
// refusal of a text that a quoted field cannot hold, and the writing of the
// whole file under its name only once it is complete.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "engine/common/status.h"

namespace orvane {

// A text of the settings and the name the user knows it by.
struct NamedText {
  const char* name;
  const std::string* text;
};

// Refused, naming the field, when a text holds a double quote: a quoted
// field would end early there on reading. Ok otherwise.
Status RefuseDoubleQuotes(std::span<const NamedText> texts);

// Writes text to path through path + ".part", renamed over path once it is
// complete, so that nothing is saved half. Failed with "Error when
// attempting to save settings: " and the system's description.
Status WriteSettingsText(const std::string& path, std::string_view text);

}  // namespace orvane
