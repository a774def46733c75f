#include "ui/HubStyle.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

namespace {
// How many pixels of the icon, drawn at 16 by 16, are not transparent.
int inked(const QIcon& icon)
{
    const QImage image = icon.pixmap(16, 16).toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}
} // namespace

// The overflow chevrons are our own drawings (a missing picture draws nothing), pointing the
// way the bar runs.
TEST(HubStyle, DrawsTheOverflowChevronsForEitherDirection)
{
    HubStyle style;
    QWidget leftToRight, rightToLeft;
    rightToLeft.setLayoutDirection(Qt::RightToLeft);
    const QIcon right =
        style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, &leftToRight);
    const QIcon left =
        style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, &rightToLeft);
    const QIcon down = style.standardIcon(QStyle::SP_ToolBarVerticalExtensionButton);
    for (const QIcon* icon : {&right, &left, &down})
        EXPECT_GT(inked(*icon), 10);
    EXPECT_NE(right.pixmap(16, 16).toImage(), left.pixmap(16, 16).toImage());
    // Everything else is the desktop style's.
    EXPECT_FALSE(style.standardIcon(QStyle::SP_DialogOkButton).isNull());
}
