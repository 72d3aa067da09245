// The program's own arguments: help, an unknown command or option.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_run.h"
#include "tests/support/temp_tree.h"

namespace orvane::testing {
namespace {

Outcome Orvane(const std::string& args) {
  static TempDir io;
  return RunShellCommand(Quote(ORVANE_PROGRAM) + " " + args, io.Path("err"));
}

TEST(CliTest, HelpExplainsEachCommand) {
  for (const char* command : {"index", "search", "list", "demo"}) {
    Outcome help = Orvane(std::string("help ") + command);
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("Usage: orvane ") + command, 0), 0u)
        << help.out;
  }
  Outcome general = Orvane("help");
  EXPECT_EQ(general.status, 0);
  EXPECT_EQ(general.out.rfind("Usage: orvane", 0), 0u);
}

// An unknown name was answered with the general help and status 0; now it
// names itself in one line, with where to look, and status 2.
TEST(CliTest, UnknownNamesAreRefusedInOneLine) {
  struct Row {
    const char* args;
    const char* err;
  } rows[] = {
      {"help bogus",
       "orvane help: unknown command 'bogus' (the commands are index, search, "
       "list, why and demo)\nTry 'orvane help'.\n"},
      {"help search list",
       "orvane help: one command at a time, not 'list'\nTry 'orvane help'.\n"},
      {"bogus", "orvane: unknown command 'bogus'\nTry 'orvane help'.\n"},
      {"--bogus", "orvane: unknown option '--bogus'\nTry 'orvane help'.\n"},
      {"list --index",
       "orvane list: --index needs a value\nTry 'orvane help list'.\n"},
      {"demo now",
       "orvane demo: unknown argument 'now' (the demo takes none)\n"
       "Try 'orvane help demo'.\n"},
      {"index",
       "orvane index: nothing to index: give --top, --out, --project and "
       "--title, or --settings FILE.usri\nTry 'orvane help index'.\n"},
      {"index --nope",
       "orvane index: unknown argument '--nope'\nTry 'orvane help index'.\n"},
  };
  for (const Row& row : rows) {
    Outcome run = Orvane(row.args);
    EXPECT_EQ(run.status, 2) << row.args;
    EXPECT_EQ(run.err, row.err);
    EXPECT_EQ(run.out, "") << row.args;
  }
}

}  // namespace
}  // namespace orvane::testing
