#include "toolkit/widgets/Screen.h"
#include "toolkit/widgets/SystemColors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace nebulo {
namespace {

TEST(ScreenCursors, UnknownNumberGivesTheArrow)
{
    EXPECT_EQ(Screen().Cursors(1234).shape(), Qt::ArrowCursor);
    Screen().SetCursors(1234, QCursor(Qt::CrossCursor));
    EXPECT_EQ(Screen().Cursors(1234).shape(), Qt::CrossCursor);
}

// However often the busy cursor is set, one return to the default ends it.
TEST(ScreenCursor, BusyAndBackLeavesNoOverride)
{
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    Screen().SetCursor(crHourGlass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Screen().SetCursor(crHourGlass);
    Screen().SetCursors(77, QCursor(Qt::CrossCursor));
    Screen().SetCursor(77);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    Screen().SetCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Screen().Cursor(), crDefault);
}

TEST(SystemColors, ButtonFaceFollowsTheDesktopPalette)
{
    const QPalette Saved = QApplication::palette();
    QPalette Palette = Saved;
    Palette.setColor(QPalette::Button, QColor(10, 20, 30));
    QApplication::setPalette(Palette);
    const TColor Face = ButtonFaceColor();
    QApplication::setPalette(Saved);
    EXPECT_EQ(Face, RGB(10, 20, 30));
}

} // namespace
} // namespace nebulo
