// The orvane program: a subcommand goes to the command line without creating
// a window; no arguments open the launcher; --screenshots DIR writes
// pictures of the windows without a display and ends.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/cli.h"

#ifdef ORVANE_WITH_WINDOWS
#include <QApplication>

#include "app/qt_ports.h"
#include "app/shell/frmMain.h"
#include "app/shell/screenshots.h"

namespace {

int RunWindows(int argc, char** argv) {
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
  orvane::frmMain launcher(prompter, yield, opener);
  QObject::connect(&launcher, &orvane::frmMain::ProgramEnd, &application,
                   &QApplication::quit, Qt::QueuedConnection);
  if (!launcher.Form_Load()) return 1;
  return application.exec();
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef ORVANE_WITH_WINDOWS
  if (!orvane::IsCommandLineRequest(argc, argv)) return RunWindows(argc, argv);
#endif
  return orvane::RunCommandLine(argc, argv);
}
