#include "app/qt_ports.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextEdit>
#include <QTime>
#include <QUrl>

#include "app/qt_text.h"
#include "engine/common/open_command.h"

namespace orvane {

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    case MessageIcon::kError:
    case MessageIcon::kCritical:
      return QMessageBox::Critical;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::kOk:
      break;
  }
  return QMessageBox::Ok;
}

int RunBox(MessageIcon icon, std::string_view title, std::string_view text,
           QMessageBox::StandardButtons buttons) {
  QMessageBox box(ToQtIcon(icon), ToQt(title), ToQt(text), buttons,
                  QApplication::activeWindow());
  return box.exec();
}

}  // namespace

void QtPrompter::ShowMessage(MessageIcon icon, std::string_view title,
                             std::string_view text) {
  RunBox(icon, title, text, QMessageBox::Ok);
}

Answer QtPrompter::Ask(MessageIcon icon, std::string_view title,
                       std::string_view text, MessageButtons buttons) {
  switch (RunBox(icon, title, text, ToQtButtons(buttons))) {
    case QMessageBox::Ok:
      return Answer::kOk;
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    default:
      break;
  }
  switch (buttons) {
    case MessageButtons::kOk:
      return Answer::kOk;
    case MessageButtons::kYesNo:
      return Answer::kNo;
    default:
      return Answer::kCancel;
  }
}

void QtYield::ProcessPendingEvents() {
  if (since_last_.isValid() && since_last_.elapsed() < interval_ms_) return;
  QCoreApplication::processEvents();
  since_last_.restart();
}

int QtOpener::Open(const std::string& target) {
  if (std::optional<std::string> command = OpenCommandFromEnvironment()) {
    return RunOpenCommand(*command, target);
  }
  const QString text = QString::fromStdString(target);
  QUrl url = text.contains(QLatin1String("://"))
                 ? QUrl(text, QUrl::TolerantMode)
                 : QUrl::fromLocalFile(text);
  if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) return 2;
  return QDesktopServices::openUrl(url) ? 42 : 31;
}

QWidget* QtViewState::Find(std::string_view control) const {
  if (window_ == nullptr) return nullptr;
  const QString name =
      QString::fromUtf8(control.data(), static_cast<qsizetype>(control.size()));
  if (window_->objectName() == name) return window_;
  return window_->findChild<QWidget*>(name);
}

void QtViewState::SetText(std::string_view control, std::string_view text) {
  QWidget* widget = Find(control);
  if (widget == nullptr) return;
  const QString value = ToQt(text);
  if (widget == window_) {
    widget->setWindowTitle(value);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(value);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(value);
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    line->setText(value);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
    plain->setPlainText(value);
  } else if (auto* rich = qobject_cast<QTextEdit*>(widget)) {
    rich->setPlainText(value);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->setCurrentText(value);
  } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
    frame->setTitle(value);
  }
}

void QtViewState::SetEnabled(std::string_view control, bool enabled) {
  if (QWidget* widget = Find(control)) widget->setEnabled(enabled);
}

void QtViewState::SetVisible(std::string_view control, bool visible) {
  if (QWidget* widget = Find(control)) widget->setVisible(visible);
}

void QtViewState::SetFocus(std::string_view control) {
  if (QWidget* widget = Find(control)) widget->setFocus();
}

void QtViewState::SetProgress(std::string_view control, std::int32_t done,
                              std::int32_t total) {
  auto* bar = qobject_cast<QProgressBar*>(Find(control));
  if (bar == nullptr) return;
  bar->setRange(0, total > 0 ? total : 0);
  if (total > 0) bar->setValue(done);
}

void QtViewState::Repaint() {
  if (window_ != nullptr) window_->repaint();
}

namespace {

// "Index files (*_index.tavo);;All files (*)" from the request's filters.
QString DialogFilter(const DialogRequest& request) {
  QStringList parts;
  for (const auto& [description, patterns] : request.filters) {
    parts << ToQt(description) + " (" + ToQt(patterns) + ")";
  }
  return parts.join(";;");
}

QString StartPath(const DialogRequest& request) {
  QString folder = QFile::decodeName(request.start_folder.c_str());
  if (request.file_name.empty()) return folder;
  QString name = QFile::decodeName(request.file_name.c_str());
  return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

}  // namespace

std::string QtDialogs::ChooseFolder(const DialogRequest& request) {
  return PathFromQt(QFileDialog::getExistingDirectory(
      QApplication::activeWindow(), ToQt(request.title),
      QFile::decodeName(request.start_folder.c_str())));
}

std::string QtDialogs::OpenFile(const DialogRequest& request) {
  return PathFromQt(QFileDialog::getOpenFileName(
      QApplication::activeWindow(), ToQt(request.title), StartPath(request),
      DialogFilter(request)));
}

std::vector<std::string> QtDialogs::OpenFiles(const DialogRequest& request) {
  std::vector<std::string> paths;
  for (const QString& path : QFileDialog::getOpenFileNames(
           QApplication::activeWindow(), ToQt(request.title),
           StartPath(request), DialogFilter(request))) {
    paths.push_back(PathFromQt(path));
  }
  return paths;
}

std::string QtDialogs::SaveFile(const DialogRequest& request) {
  return PathFromQt(QFileDialog::getSaveFileName(
      QApplication::activeWindow(), ToQt(request.title), StartPath(request),
      DialogFilter(request), nullptr, QFileDialog::DontConfirmOverwrite));
}

double QtClock::SecondsSinceMidnight() {
  return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

}  // namespace orvane
