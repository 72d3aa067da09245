#include "app/shell/link_label.h"

#include <QMouseEvent>

namespace orvane {

LinkLabel::LinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent) {
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  QPalette link_colours = palette();
  link_colours.setColor(QPalette::WindowText,
                        link_colours.color(QPalette::Link));
  setPalette(link_colours);
  setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->pos())) {
    emit Click();
  }
}

}  // namespace orvane
