// A label that works as a link: underlined in the link colour, with the
// pointing-hand cursor, and a Click signal when the left mouse button is
// released over it, when Enter or the space bar is pressed on it (Tab
// reaches it, and it shows a focus frame then), or when a screen reader
// presses it. The windows use it for the maker's name and the user manual.
#pragma once

#include <QLabel>

namespace orvane {

class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

  // Follows the link: emits Click.
  void Follow() { emit Click(); }

 signals:
  void Click();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace orvane
