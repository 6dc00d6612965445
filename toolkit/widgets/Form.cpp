#include "toolkit/widgets/Form.h"

#include "toolkit/core/Exceptions.h"
#include "toolkit/widgets/LayoutReader.h"
#include "toolkit/widgets/Messages.h"

#include "toolkit/widgets/SystemMenu.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

namespace nebulo {

TForm::TForm(QWidget* Parent) : QWidget(Parent, Qt::Window) {}

TForm::~TForm()
{
    if (ModalLoop_ != nullptr)
        ModalLoop_->quit();
}

int TForm::ShowModal()
{
    if (isVisible())
        throw EInvalidOperation("Cannot make a visible window modal");
    ModalResult_ = mrNone;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop Loop;
    ModalLoop_ = &Loop;
    if (ModalResult_ == mrNone)
        Loop.exec(QEventLoop::DialogExec);
    ModalLoop_ = nullptr;
    hide();
    setWindowModality(Qt::NonModal);
    return ModalResult_;
}

void TForm::SetModalResult(int Value)
{
    ModalResult_ = Value;
    if (Value != mrNone && ModalLoop_ != nullptr)
        ModalLoop_->quit();
}

void TForm::Close()
{
    if (ModalLoop_ != nullptr)
        SetModalResult(mrCancel);
    else
        close();
}

void TForm::SystemCommand(uintptr_t Command)
{
    switch (Command & 0xFFF0) {
    case SC_CLOSE: Close(); break;
    case SC_MINIMIZE: showMinimized(); break;
    case SC_MAXIMIZE: showMaximized(); break;
    case SC_RESTORE: showNormal(); break;
    default: break;
    }
}

void TForm::ReadLayout(const QString& Resource)
{
    QFile File(Resource);
    if (!File.open(QIODevice::ReadOnly | QIODevice::Text))
        throw EStreamError("Cannot read the layout " + Resource.toStdString());
    ReadLayoutText(*this, QString::fromUtf8(File.readAll()));
}

void TForm::closeEvent(QCloseEvent* Event)
{
    if (ModalLoop_ != nullptr) {
        Event->ignore();
        SetModalResult(mrCancel);
        return;
    }
    QWidget::closeEvent(Event);
}

void TForm::SetBorderStyle(TFormBorderStyle Value)
{
    BorderStyle_ = Value;
    setWindowFlag(Qt::FramelessWindowHint, Value == TFormBorderStyle::bsNone);
}

void TForm::showEvent(QShowEvent* Event)
{
    if (Position_ == TPosition::poScreenCenter && !Placed_) {
        const QRect Screen = screen()->geometry();
        move(Screen.x() + std::max(0, (Screen.width() - width()) / 2),
             Screen.y() + std::max(0, (Screen.height() - height()) / 2));
    }
    Placed_ = true;
    QWidget::showEvent(Event);
}

void TForm::contextMenuEvent(QContextMenuEvent* Event)
{
    const bool OnFreeArea = childAt(Event->pos()) == nullptr;
    if (Event->reason() == QContextMenuEvent::Keyboard || OnFreeArea)
        OpenSystemMenu(Event->globalPos());
    Event->accept();
}

void TForm::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_F10 && Event->modifiers() == Qt::ShiftModifier) {
        OpenSystemMenu(mapToGlobal(QPoint(0, 0)));
        return;
    }
    QWidget::keyPressEvent(Event);
}

void TForm::OpenSystemMenu(const QPoint& Where)
{
    GetSystemMenu(this, false)->Popup(Where);
}

void TForm::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton)
        emit Click();
    QWidget::mousePressEvent(Event);
}

} // namespace nebulo
