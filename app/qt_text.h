// The one crossing between the engine's display text (UTF-8 with CR LF line
// breaks) and Qt's strings (UTF-16 with LF), and between Qt's file names and
// the engine's paths (the file system's bytes). Content text never reaches a
// widget directly: it becomes display text in the engine first.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace orvane {

// Display text for a widget: CR LF, and a lone CR, become LF.
QString ToQt(std::string_view display);

// A widget's text as display text: LF and the paragraph separators of a
// text selection (U+2029) become CR LF.
std::string FromQt(const QString& text);

// A file name Qt gives (a dialog's choice, a dropped file) as a path: the
// file system's bytes, as the engine uses them. Empty for an empty name.
std::string PathFromQt(const QString& path);

}  // namespace orvane
