#include "app/screenshots.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include "app/shell/common_window_helpers.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

TEST(ScreenshotsTest, WritesAPictureOfEveryWindow) {
  testing::TempDir dir;
  const std::string folder = dir.Path("pictures/new");  // made when missing
  ASSERT_EQ(WriteScreenshots(folder), 0);
  for (const char* form :
       {"frmMain", "frmPopUp", "frmLargeDisplay", "frmSelectSubfolders",
        "frmFilepathExclusions", "frmIndexMain", "frmSearchMain",
        "frmSearchMain-listing"}) {
    QImage image(QString::fromStdString(folder) + "/" + form + ".png");
    ASSERT_FALSE(image.isNull()) << form;
    EXPECT_GT(image.width(), 100) << form;
  }
  // The launcher is painted in the window colour (below its title bar).
  QImage launcher(QString::fromStdString(folder) + "/frmMain.png");
  EXPECT_EQ(QColor(launcher.pixel(5, 40)),
            OV_common::ToQColor(OV_common::WindowColour()));
  // The subfolder window has its own light yellow.
  QImage subfolders(QString::fromStdString(folder) +
                    "/frmSelectSubfolders.png");
  EXPECT_EQ(QColor(subfolders.pixel(5, 40)), QColor(255, 255, 192));
}

}  // namespace
}  // namespace orvane
