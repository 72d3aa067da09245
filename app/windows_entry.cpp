// The entry point of the windows module (liborvane_windows.so): the Qt 6
// windows of the orvane program, loaded by the program only when it opens
// its windows, so that a command-line run maps no Qt library at all.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QString>

#include "app/frmMain.h"
#include "app/qt_ports.h"
#include "app/screenshots.h"
#include "app/windows_entry.h"

namespace {

// Qt's messages while the application starts. A display that cannot be
// reached is a fatal message, after which Qt aborts the program; it becomes
// the program's one-line "no display" and status 2 instead. The other
// messages are passed on once the start has worked.
QList<QByteArray>* g_start_messages = nullptr;

void OnStartMessage(QtMsgType type, const QMessageLogContext&,
                    const QString& message) {
  if (type == QtFatalMsg) {
    std::fputs(ORVANE_NO_DISPLAY_MESSAGE "\n", stderr);
    std::fflush(stderr);
    std::_Exit(2);
  }
  if (g_start_messages != nullptr) g_start_messages->append(message.toLocal8Bit());
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int orvane_run_windows(
    int argc, char** argv) {
  const bool screenshots =
      argc > 1 && std::strcmp(argv[1], "--screenshots") == 0;
  if (screenshots) {
    if (argc != 3) {
      std::fprintf(stderr, "Usage: orvane --screenshots DIR\n");
      return 2;
    }
    // Pictures need no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QList<QByteArray> start_messages;
  g_start_messages = &start_messages;
  QtMessageHandler previous = qInstallMessageHandler(OnStartMessage);
  QApplication application(argc, argv);
  qInstallMessageHandler(previous);
  g_start_messages = nullptr;
  for (const QByteArray& message : start_messages) {
    std::fprintf(stderr, "%s\n", message.constData());
  }
  // The launcher is hidden while a module is open: the program ends when
  // the user quits, not when the last visible window closes.
  application.setQuitOnLastWindowClosed(false);
  if (screenshots) return orvane::WriteScreenshots(argv[2]);

  orvane::QtPrompter prompter;
  orvane::QtYield yield;
  orvane::QtOpener opener;
  orvane::QtDialogs dialogs;
  orvane::QtClock clock;
  orvane::frmMain launcher(prompter, yield, opener, dialogs, clock);
  QObject::connect(&launcher, &orvane::frmMain::ProgramEnd, &application,
                   &QApplication::quit, Qt::QueuedConnection);
  if (!launcher.Form_Load()) return 1;
  return application.exec();
}
