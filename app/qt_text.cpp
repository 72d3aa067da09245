#include "app/qt_text.h"

#include <QFile>

namespace orvane {

QString ToQt(std::string_view display) {
  std::string text;
  text.reserve(display.size());
  for (std::size_t i = 0; i < display.size(); ++i) {
    char c = display[i];
    if (c == '\r') {
      text.push_back('\n');
      if (i + 1 < display.size() && display[i + 1] == '\n') ++i;
      continue;
    }
    text.push_back(c);
  }
  return QString::fromStdString(text);
}

std::string FromQt(const QString& text) {
  QString copy = text;
  copy.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  copy.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  copy.replace(QLatin1String("\n"), QLatin1String("\r\n"));
  return copy.toStdString();
}

std::string PathFromQt(const QString& path) {
  return path.isEmpty() ? std::string() : QFile::encodeName(path).toStdString();
}

}  // namespace orvane
