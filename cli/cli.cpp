#include "cli/cli.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "cli/console_ports.h"
#include "cli/index_command.h"
#include "cli/search_commands.h"
#include "engine/common/common_values.h"
#include "engine/common/status.h"

namespace orvane {

namespace {

constexpr std::string_view kUsage =
    "Usage: orvane [COMMAND [OPTIONS...]]\n"
    "\n"
    "Orvane File Search indexes folder trees of text files and searches them.\n"
    "Without a command it opens the launcher window.\n"
    "\n"
    "Commands:\n"
    "  --version        print the program's version and licence\n"
    "  --screenshots DIR\n"
    "                   write pictures of the windows into DIR (no display\n"
    "                   needed)\n"
    "  help [COMMAND]   explain a command and its options\n"
    "  index ...        create an index file, or list the files it would hold\n"
    "  search ...       search an index for words\n"
    "  list ...         list the files an index holds\n"
    "  why ...          tell why a file or a word is not found\n"
    "  demo             index the sample tree and search it\n"
    "\n"
    "New to the program? 'orvane demo' shows it at work on its sample files\n"
    "and ends with the commands that index and search a folder of yours.\n";

int PrintVersion() {
  std::printf("Orvane File Search %s\n%s", OV_common::VersionText().c_str(),
              OV_common::kLicenceText);
  return 0;
}

int PrintUsage(std::FILE* to, int status) {
  std::fwrite(kUsage.data(), 1, kUsage.size(), to);
  return status;
}

int RunCommand(int argc, char** argv);

}  // namespace

bool IsCommandLineRequest(int argc, char** argv) {
  return argc > 1 && std::string_view(argv[1]) != "--screenshots";
}

int RunCommandLine(int argc, char** argv) {
  // An exception that gets this far (a want of memory, or a bug) is told
  // as a message with its own exit status, not left to abort the program.
  try {
    return RunCommand(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvane: %s\n",
                 StatusFromException(e).message().c_str());
    return kUnexpectedFailureStatus;
  }
}

namespace {

int RunCommand(int argc, char** argv) {
  OV_common::InitCommonValues();
  if (argc < 2) return PrintUsage(stdout, 0);
  std::string_view command = argv[1];
  if (command == "--version" || command == "version") return PrintVersion();
  if (command == "index") return RunIndexCommand(argc - 2, argv + 2);
  if (command == "help" || command == "--help" || command == "-h") {
    if (argc > 3) {
      return RefuseArguments("help", "one command at a time, not '" +
                                         std::string(argv[3]) + "'");
    }
    if (argc < 3) return PrintUsage(stdout, 0);
    std::string_view topic = argv[2];
    if (topic == "index") return PrintIndexHelp();
    std::string_view help = SearchCommandHelp(topic);
    if (help.empty()) {
      return RefuseArguments("help", "unknown command '" + std::string(topic) +
                                         "' (the commands are index, "
                                         "search, list, why and demo)");
    }
    std::fwrite(help.data(), 1, help.size(), stdout);
    return 0;
  }
  if (command == "search") return RunSearchCommand(argc - 2, argv + 2);
  if (command == "list") return RunListCommand(argc - 2, argv + 2);
  if (command == "why") return RunWhyCommand(argc - 2, argv + 2);
  if (command == "demo") return RunDemoCommand(argc - 2, argv + 2);
  const bool option = command.size() > 1 && command[0] == '-';
  return RefuseArguments("", std::string(option ? "unknown option '"
                                                : "unknown command '") +
                                 std::string(command) + "'");
}

}  // namespace

}  // namespace orvane
