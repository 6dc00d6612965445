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

public:
    explicit TForm(QWidget* Parent = nullptr);
    ~TForm() override;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& Value) { setWindowTitle(Value); }
    int ClientWidth() const { return width(); }
    void SetClientWidth(int Value) { resize(Value, height()); }
    int ClientHeight() const { return height(); }
    void SetClientHeight(int Value) { resize(width(), Value); }

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

private:
    int ModalResult_ = mrNone;
    QEventLoop* ModalLoop_ = nullptr;
};

} // namespace nebulo
