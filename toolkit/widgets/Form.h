#pragma once

#include <QWidget>

#include <cstdint>

class QEventLoop;

namespace nebulo {

constexpr int mrNone = 0;
constexpr int mrCancel = 2;

// A top-level window read from its stored layout. Shown modally, it runs a
// nested loop until its modal result becomes non-zero.
class TForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE SetClientWidth)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE SetClientHeight)
    Q_PROPERTY(TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TPosition Position READ Position WRITE SetPosition)

public:
    enum class TFormBorderStyle { bsSizeable, bsNone };
    Q_ENUM(TFormBorderStyle)
    // Where the form first appears: where its layout puts it, or centred on
    // the screen (and kept there afterwards).
    enum class TPosition { poDesigned, poScreenCenter };
    Q_ENUM(TPosition)

    explicit TForm(QWidget* Parent = nullptr);
    ~TForm() override;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& Value) { setWindowTitle(Value); }
    int ClientWidth() const { return width(); }
    void SetClientWidth(int Value) { resize(Value, height()); }
    int ClientHeight() const { return height(); }
    void SetClientHeight(int Value) { resize(width(), Value); }

    TFormBorderStyle BorderStyle() const { return BorderStyle_; }
    void SetBorderStyle(TFormBorderStyle Value);
    TPosition Position() const { return Position_; }
    void SetPosition(TPosition Value) { Position_ = Value; }

    // Fails with "Cannot make a visible window modal" when already shown.
    int ShowModal();
    int ModalResult() const { return ModalResult_; }
    void SetModalResult(int Value);
    // Shown modally: sets the modal result to cancel and nothing else;
    // otherwise closes the window.
    void Close();

    // Carries out a standard window command (restore, minimise, maximise, close).
    void SystemCommand(uintptr_t Command);

signals:
    void Create();
    void Click();

protected:
    // Reads the stored layout at Resource into this form and its controls,
    // binding the handlers it names to this form's slots.
    void ReadLayout(const QString& Resource);
    // Raises the form's creation event: to be called at the end of the most
    // derived constructor, once its members are bound.
    void DoCreate() { emit Create(); }

    void closeEvent(QCloseEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    // The system menu opens on a right click on the free area of the form,
    // on the Menu key and on Shift+F10.
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void OpenSystemMenu(const QPoint& Where);

    TFormBorderStyle BorderStyle_ = TFormBorderStyle::bsSizeable;
    TPosition Position_ = TPosition::poDesigned;
    bool Placed_ = false;
    int ModalResult_ = mrNone;
    QEventLoop* ModalLoop_ = nullptr;
};

} // namespace nebulo
