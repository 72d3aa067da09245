// The entry point of the windows module (liborvane_windows.so): the Qt 6
// windows of the orvane program, loaded by the program only when it opens
// its windows, so that a command-line run maps no Qt library at all.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>

#include "app/qt_ports.h"
#include "app/shell/frmMain.h"
#include "app/shell/screenshots.h"
#include "app/windows_entry.h"

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
  QApplication application(argc, argv);
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
