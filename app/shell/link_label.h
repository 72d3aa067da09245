// A label that works as a link: underlined in the link colour, with the
// pointing-hand cursor, and a Click signal when the left mouse button is
// released over it. The windows use it for the maker's name and the user
// manual's address.
#pragma once

#include <QLabel>

namespace orvane {

class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

 signals:
  void Click();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace orvane
