#include "app/shell/screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <vector>

#include "app/qt_ports.h"
#include "app/qt_text.h"
#include "app/shell/frmLargeDisplay.h"
#include "app/shell/frmMain.h"
#include "app/shell/frmPopUp.h"
#include "cli/console_ports.h"
#include "engine/common/program_texts.h"

namespace orvane {

namespace {

// A window as the desktop shows it: a title bar with the caption above the
// window's contents, and a thin frame. Windows without a caption (the pop-up
// note) get the frame only.
QImage Framed(QWidget& window) {
  // Let pending layouts settle first (scroll bars, wrapped lines).
  QCoreApplication::processEvents();
  const QPixmap contents = window.grab();
  const QString caption = window.windowTitle();
  const int bar = caption.isEmpty() ? 0 : 28;
  const int border = 1;
  QImage image(contents.width() + 2 * border,
               contents.height() + bar + 2 * border, QImage::Format_RGB32);
  image.fill(QColor(0x5a, 0x5a, 0x66));
  QPainter painter(&image);
  if (bar > 0) {
    painter.fillRect(border, border, contents.width(), bar,
                     QColor(0x3b, 0x4a, 0x6b));
    QFont font = window.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(border + 10, border, contents.width() - 20, bar),
                     Qt::AlignVCenter | Qt::AlignLeft, caption);
  }
  painter.drawPixmap(border, border + bar, contents);
  return image;
}

class Writer {
 public:
  explicit Writer(const QString& folder) : folder_(folder) {}

  void Write(QWidget& window, const char* form_name) {
    const QString path = QDir(folder_).filePath(QString(form_name) + ".png");
    if (Framed(window).save(path, "PNG")) {
      std::printf("%s\n", path.toLocal8Bit().constData());
    } else {
      std::fprintf(stderr, "orvane: cannot write %s\n",
                   path.toLocal8Bit().constData());
      ok_ = false;
    }
  }
  bool ok() const { return ok_; }

 private:
  QString folder_;
  bool ok_ = true;
};

// A file list as the Index Module lists the files it is about to index.
std::vector<std::string> SampleFileList() {
  return {"letters/1998/to the council.txt",
          "letters/1998/to the printer.txt",
          "letters/1999/reply from the archive.txt",
          "mail/inbox/2004-03-12 minutes.eml",
          "mail/inbox/2004-03-19 agenda.eml",
          "mail/sent/2004-03-13 re minutes.eml",
          "notes/catalogue.htm",
          "notes/index of maps.htm",
          "notes/reading list.txt",
          "reports/annual report 2003.htm",
          "reports/annual report 2004.htm",
          "reports/survey of the river banks.txt"};
}

}  // namespace

int WriteScreenshots(const std::string& folder) {
  const QString out = QString::fromStdString(folder);
  if (!QDir().mkpath(out)) {
    std::fprintf(stderr, "orvane: cannot create the folder %s\n",
                 folder.c_str());
    return 1;
  }
  ConsolePrompter prompter;
  QtYield yield;
  QtOpener opener;
  QtDialogs dialogs;
  QtClock clock;
  frmMain launcher(prompter, yield, opener, dialogs, clock);
  if (!launcher.Form_Load()) return 1;
  Writer writer(out);
  writer.Write(launcher, "frmMain");

  // The note confirming saved settings, caught while it is up.
  frmPopUp& pop_up = launcher.pop_up();
  QTimer::singleShot(100, &pop_up, [&] {
    writer.Write(pop_up, "frmPopUp");
    pop_up.Timer1->stop();
    pop_up.hide();
  });
  pop_up.PopUpCenter(GetProgramText(17), 2000, 380, 5000);

  frmLargeDisplay& display = launcher.large_display();
  std::vector<std::string> files = SampleFileList();
  display.SetCaption(std::to_string(files.size()) + " files are to be indexed");
  display.SetReadOnly(true);
  display.Clear();
  display.Output(GetProgramText(155), 2, false);
  display.DisplayArray(files, 0, static_cast<std::int32_t>(files.size()) - 1,
                       "", true);
  display.SetCopyButtonCaption("Copy to clipboard");
  display.Show();
  display.ShowBeginning();
  writer.Write(display, "frmLargeDisplay");
  display.Hide();

  launcher.cmdIndexModule->click();
  if (ModuleWindow* index_module = launcher.module()) {
    writer.Write(*index_module, "frmIndexMain");
    index_module->close();
  }
  QCoreApplication::processEvents();
  launcher.cmdSearchModule->click();
  if (ModuleWindow* search_module = launcher.module()) {
    writer.Write(*search_module, "frmSearchMain");
  }
  return writer.ok() ? 0 : 1;
}

}  // namespace orvane
