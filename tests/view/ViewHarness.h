#pragma once

#include "tests/support/Rows.h"
#include "view/ZImage.h"

#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace nebulo::test {

// The colour of picture pixel (X, Y) in the test pictures: every pixel of a
// picture up to 4096 × 4096 has its own.
inline QRgb PixelColour(int X, int Y)
{
    return qRgb(X & 0xFF, Y & 0xFF, ((X >> 8) << 4) | (Y >> 8));
}

// A colour as #rrggbb, for failure messages.
inline std::string Hex(QRgb Colour)
{
    return QColor(Colour).name().toStdString();
}

// A 24-bit picture of Width × Height painted with PixelColour.
inline std::unique_ptr<TBitmap> MakePicture(int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            Image.setPixel(X, Y, PixelColour(X, Y));
    auto Picture = std::make_unique<TBitmap>();
    Picture->SetImage(Image, TPixelFormat::pf24bit);
    return Picture;
}

// A shown window holding one view of the main window's size at (2, 2). The
// mouse goes through the window, as a real pointer's would, so Qt routes
// each event to the view the way it does on a desktop.
class ViewHarness : public ::testing::Test {
protected:
    static constexpr int ViewWidth = 246;
    static constexpr int ViewHeight = 184;

    void SetUp() override
    {
        Window.resize(800, 600);
        View = new TZImage(&Window);
        View->setGeometry(2, 2, ViewWidth, ViewHeight);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }

    void Assign(int Width, int Height)
    {
        const auto Picture = MakePicture(Width, Height);
        View->AssignFrom(Picture.get());
    }

    // The 400 × 300 picture at 200 %, SourceRect (0, 0, 123, 92), move tool.
    void MoveToolAt200Percent()
    {
        Assign(400, 300);
        Click(Qt::LeftButton);
        View->SetSelectedTool(TTool::Move);
    }

    QPoint InWindow(QPoint At) const { return View->mapTo(&Window, At); }
    void Press(Qt::MouseButton Button, QPoint At = {10, 10}, Qt::KeyboardModifiers Keys = {})
    {
        QTest::mousePress(Window.windowHandle(), Button, Keys, InWindow(At));
    }
    void Release(Qt::MouseButton Button, QPoint At = {10, 10})
    {
        QTest::mouseRelease(Window.windowHandle(), Button, {}, InWindow(At));
    }
    void Click(Qt::MouseButton Button, Qt::KeyboardModifiers Keys = {})
    {
        Press(Button, {10, 10}, Keys);
        Release(Button);
    }
    void Move(QPoint At) { QTest::mouseMove(Window.windowHandle(), InWindow(At)); }

    QWidget Window;
    TZImage* View = nullptr; // owned by Window
};

} // namespace nebulo::test
