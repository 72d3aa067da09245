#include "app/shell/frmPopUp.h"

#include <QEvent>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/shell/controls.h"
#include "engine/shell/pop_up_placement.h"
#include "engine/shell/twips.h"

namespace orvane {

frmPopUp::frmPopUp(QWidget& launcher)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint),
      launcher_(&launcher) {
  setObjectName("frmPopUp");
  setModal(true);
  // A note in the tool-tip colours with a thin border, like the system's
  // own notes.
  QPalette note = palette();
  note.setColor(QPalette::Window, note.color(QPalette::ToolTipBase));
  note.setColor(QPalette::WindowText, note.color(QPalette::ToolTipText));
  setPalette(note);
  setAutoFillBackground(true);

  lblMessage = MakeControl<QLabel>(this, "lblMessage");
  lblMessage->setAlignment(Qt::AlignCenter);
  lblMessage->setWordWrap(true);
  lblMessage->setFrameShape(QFrame::Box);
  lblMessage->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(lblMessage);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setSingleShot(true);
  connect(Timer1, &QTimer::timeout, this, &frmPopUp::Timer1_Timer);
}

void frmPopUp::PopUpInForm(QWidget& frmMe, std::string_view strMessage,
                           std::int16_t intWidth, std::int16_t intHeight,
                           std::int16_t intInterval, std::int16_t intTop,
                           std::int16_t intLeft) {
  const QRect form = frmMe.frameGeometry();
  PopUpPlacement place =
      PlacePopUpInForm(PixelsToTwips(form.top()), PixelsToTwips(form.left()),
                       intWidth, intHeight, intTop, intLeft);
  move(TwipsToPixels(place.left), TwipsToPixels(place.top));
  lblMessage->setText(ToQt(strMessage));
  setFixedSize(TwipsToPixels(place.width), TwipsToPixels(place.height));
  Timer1->setInterval(intInterval);
  Timer1->start();
  exec();
}

void frmPopUp::PopUp(std::string_view strMessage, std::int16_t intWidth,
                     std::int16_t intHeight, std::int16_t intInterval,
                     std::int16_t intTop, std::int16_t intLeft) {
  PopUpInForm(*launcher_, strMessage, intWidth, intHeight, intInterval, intTop,
              intLeft);
}

void frmPopUp::PopUp2(std::string_view strMessage, std::int16_t intWidth,
                      std::int16_t intHeight, std::int16_t intInterval,
                      std::int16_t intTop, std::int16_t intLeft) {
  PopUp(strMessage, intWidth, intHeight, intInterval, intTop, intLeft);
}

void frmPopUp::PopUpCenter(std::string_view strMessage, std::int16_t intWidth,
                           std::int16_t intHeight, std::int16_t intInterval) {
  const QRect launcher = launcher_->frameGeometry();
  CentreOffsets offsets =
      CentreOnLauncher(PixelsToTwips(launcher.height()),
                       PixelsToTwips(launcher.width()), intWidth, intHeight);
  PopUp(strMessage, intWidth, intHeight, intInterval,
        static_cast<std::int16_t>(offsets.top),
        static_cast<std::int16_t>(offsets.left));
}

bool frmPopUp::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblMessage && event->type() == QEvent::MouseButtonRelease) {
    Timer1_Timer();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void frmPopUp::Timer1_Timer() {
  Timer1->stop();
  hide();
}

}  // namespace orvane
