#include "shell/widgets/ToolbarIcons.h"

#include "res/ToolbarPictures.h"
#include "res/ToolbarTable.h"
#include "shell/ToolbarBoxes.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

class ToolbarIconsTest : public ::testing::Test, private CWithApplication {};

TEST_F(ToolbarIconsTest, EveryButtonOfTheBarsHasAPictureThatDrawsWhole)
{
    std::vector<int> commands;
    for (const int bar : {345, 365, 371, 128, 381, 124, 378, 395, 126, 130, 320, 322})
        for (const int id : FindToolbarResource(bar)->buttons)
            if (id != 0 && !FindToolbarBoxInfo(id))
                commands.push_back(id);
    ASSERT_GT(commands.size(), 50u);

    // A sheet of every picture at 32 pixels, for a person to look at.
    const int columns = 12;
    QImage sheet(columns * 40, static_cast<int>((commands.size() + columns - 1) / columns) * 40, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (size_t i = 0; i < commands.size(); ++i) {
        const ToolbarPicture picture = FindToolbarPicture(commands[i]);
        ASSERT_TRUE(picture.base) << commands[i];
        bool complete = false;
        const QImage image = PaintToolbarPicture(picture.base, picture.badge, 32, &complete);
        EXPECT_TRUE(complete) << commands[i];
        int painted = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                painted += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(painted, 32 * 32 / 10) << commands[i];
        painter.drawImage(static_cast<int>(i % columns) * 40 + 4, static_cast<int>(i / columns) * 40 + 4, image);
        EXPECT_FALSE(ToolbarIcon(commands[i]).isNull());
    }
    painter.end();
    const QByteArray folder = qgetenv("DREL_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        sheet.save(QString::fromLocal8Bit(folder) + "/toolbar-pictures.png");
}

TEST_F(ToolbarIconsTest, PicturesAndBadgesDrawWhereTheyShould)
{
    // The folder is yellow in its middle; the corners stay clear.
    const ToolbarPicture open = FindToolbarPicture(57601);
    const QImage folder = PaintToolbarPicture(open.base, open.badge, 16);
    const QColor middle = folder.pixelColor(8, 10);
    EXPECT_GT(middle.red(), 200);
    EXPECT_GT(middle.green(), 180);
    EXPECT_LT(middle.blue(), 150);
    EXPECT_EQ(folder.pixelColor(0, 0).alpha(), 0);

    // The removing badge is red over the lower right corner of the pin.
    const ToolbarPicture remove = FindToolbarPicture(30626);
    const QImage pin = PaintToolbarPicture(remove.base, remove.badge, 32);
    const QColor badge = pin.pixelColor(29, 21);
    EXPECT_GT(badge.red(), 180);
    EXPECT_LT(badge.green(), 90);

    // An operation the language has not stops the drawing there.
    bool complete = true;
    PaintToolbarPicture("p 000000 1 R 1 1 4 4 . X 3", nullptr, 16, &complete);
    EXPECT_FALSE(complete);
    PaintToolbarPicture("p 000000 1 M 1", nullptr, 16, &complete);
    EXPECT_FALSE(complete);
    EXPECT_TRUE(ToolbarIcon(30003).isNull()); // no picture
    EXPECT_EQ(FindToolbarPicture(1).base, nullptr);
}

} // namespace
