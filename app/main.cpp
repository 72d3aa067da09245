// The orvane program: a subcommand goes to the command line without creating
// a window; no arguments open the launcher.
#include "cli/cli.h"

int main(int argc, char** argv) {
  return orvane::RunCommandLine(argc, argv);
}
