#include "engine/shell/shell.h"

#include <gtest/gtest.h>

#include "engine/common/program_folder.h"
#include "tests/support/fakes.h"

namespace orvane {
namespace {

using testing::RecordingOpener;
using testing::RecordingPrompter;

TEST(ShellTest, OpenDocumentReportsRefusalOnlyWhenAsked) {
  RecordingOpener opener;
  RecordingPrompter prompter;
  EXPECT_TRUE(Shell::OpenDocument(opener, prompter, "/data/tavo.htm", true));
  EXPECT_TRUE(prompter.boxes().empty());

  opener.set_result(31);
  EXPECT_FALSE(Shell::OpenDocument(opener, prompter, "/data/r.xyz", false));
  EXPECT_TRUE(prompter.boxes().empty());

  opener.set_result(32);  // the highest error code
  EXPECT_FALSE(Shell::OpenDocument(opener, prompter, "/data/r.xyz", true));
  ASSERT_EQ(prompter.boxes().size(), 1u);
  EXPECT_EQ(prompter.boxes()[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(prompter.boxes()[0].title, "Error");
  EXPECT_EQ(prompter.boxes()[0].text,
            "Error opening file /data/r.xyz.\r\n"
            "Perhaps the file extension is incorrect.");
  EXPECT_EQ(opener.targets(),
            (std::vector<std::string>{"/data/tavo.htm", "/data/r.xyz",
                                      "/data/r.xyz"}));
}

TEST(ShellTest, LaunchBrowserExplainsTheOpenersCode) {
  struct Row {
    int code;
    const char* address;
    const char* text;  // nullptr: nothing shown
  } rows[] = {
      {33, "https://example.org/manual.htm", nullptr},
      {31, "https://example.org/manual.XYZ",
       "Error launching web browser, error code = 31.\r\n\r\n"
       "File extension 'xyz' is not associated with any application "
       "program."},
      // The extension is the file name's, not a folder's.
      {31, "/srv/v1.2/readme",
       "Error launching web browser, error code = 31.\r\n\r\n"
       "File extension '' is not associated with any application program."},
      {8, "/srv/manual.htm",
       "Error launching web browser, error code = 8.\r\n\r\nOut of memory."},
      {2, "/srv/manual.htm",
       "Error launching web browser, error code = 2.\r\n\r\n"
       "Please try once more."},
      {5, "/srv/manual.htm", "Error launching web browser, error code = 5."},
  };
  for (const Row& row : rows) {
    RecordingOpener opener;
    RecordingPrompter prompter;
    opener.set_result(row.code);
    Shell::LaunchBrowser(opener, prompter, row.address);
    EXPECT_EQ(opener.targets(), std::vector<std::string>{row.address});
    if (row.text == nullptr) {
      EXPECT_TRUE(prompter.boxes().empty()) << row.code;
      continue;
    }
    ASSERT_EQ(prompter.boxes().size(), 1u) << row.code;
    EXPECT_EQ(prompter.boxes()[0].icon, MessageIcon::kWarning);
    EXPECT_EQ(prompter.boxes()[0].title, "Cannot launch web browser");
    EXPECT_EQ(prompter.boxes()[0].text, row.text);
  }
}

TEST(ShellTest, ProgramDocumentsResolveAgainstTheProgramFolder) {
  const std::string manual =
      "file://" + ProgramFilePath("docs/search_module.htm").string();
  ASSERT_EQ(manual.substr(0, 8), "file:///");
  struct Row {
    const char* address;
    std::string resolved;
  } rows[] = {
      {"file://docs/search_module.htm", manual},
      {"file:///usr/share/doc/x.htm", "file:///usr/share/doc/x.htm"},
      {"file://", "file://"},
      {"https://example.org/docs/a.htm", "https://example.org/docs/a.htm"},
      {"docs/index.htm", "docs/index.htm"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Shell::ResolveAddress(row.address), row.resolved) << row.address;
  }

  RecordingOpener opener;
  RecordingPrompter prompter;
  Shell::LaunchBrowser(opener, prompter, "file://docs/search_module.htm");
  EXPECT_EQ(opener.targets(), std::vector<std::string>{manual});
}

}  // namespace
}  // namespace orvane
