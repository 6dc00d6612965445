#pragma once

#include <QKeySequence>
#include <QToolButton>

namespace nebulo {

// A push button with a glyph. Buttons of one parent that share a non-zero
// GroupIndex are an exclusive group: pressing one leaves it down and releases
// the others; pressing the one that is down leaves it down.
class TSpeedButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(QString Glyph READ Glyph WRITE SetGlyph)

public:
    explicit TSpeedButton(QWidget* Parent = nullptr);

    int GroupIndex() const { return GroupIndex_; }
    void SetGroupIndex(int Value);
    bool Down() const { return isChecked(); }
    // Putting a grouped button down releases the others of its group.
    void SetDown(bool Value);
    // The name of a 4-bit BMP file among the program's glyphs. Its
    // bottom-left pixel's colour is drawn transparent; the disabled look is
    // the style's greyed rendering of the same glyph.
    QString Glyph() const { return Glyph_; }
    void SetGlyph(const QString& Name);
    // The key that presses the button wherever the focus is in its window,
    // as screen readers announce it; the window itself answers the key.
    QKeySequence KeyBinding() const { return KeyBinding_; }
    void SetKeyBinding(const QKeySequence& Value) { KeyBinding_ = Value; }

signals:
    void Click();

protected:
    // With the focus, Enter presses the button as Space does.
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void Pressed();

    int GroupIndex_ = 0;
    QString Glyph_;
    QKeySequence KeyBinding_;
};

// A BMP picture of the program's resources (":/glyphs/Paste.bmp") with its
// bottom-left pixel's colour made transparent.
QPixmap TransparentPicture(const QString& Resource);

} // namespace nebulo
