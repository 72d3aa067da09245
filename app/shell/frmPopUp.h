// The pop-up note: one short message shown modally for a fixed time at a
// given place, gone when its timer fires or when the user clicks it. One
// note is reused for every message. Places and sizes are in twips, relative
// to a reference window's top-left corner (the launcher for PopUp, PopUp2
// and PopUpCenter).
#pragma once

#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <cstdint>
#include <string_view>

namespace orvane {

class frmPopUp : public QDialog {
  Q_OBJECT

 public:
  // launcher: the reference window of PopUp, PopUp2 and PopUpCenter.
  explicit frmPopUp(QWidget& launcher);

  // Each returns when the note has gone again.
  void PopUpInForm(QWidget& frmMe, std::string_view strMessage,
                   std::int16_t intWidth, std::int16_t intHeight,
                   std::int16_t intInterval, std::int16_t intTop,
                   std::int16_t intLeft);
  void PopUp(std::string_view strMessage, std::int16_t intWidth,
             std::int16_t intHeight, std::int16_t intInterval,
             std::int16_t intTop, std::int16_t intLeft);
  void PopUp2(std::string_view strMessage, std::int16_t intWidth,
              std::int16_t intHeight, std::int16_t intInterval,
              std::int16_t intTop, std::int16_t intLeft);
  void PopUpCenter(std::string_view strMessage, std::int16_t intWidth,
                   std::int16_t intHeight, std::int16_t intInterval);

  QLabel* lblMessage;
  QTimer* Timer1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void Timer1_Timer();

 private:
  QWidget* launcher_;
};

}  // namespace orvane
