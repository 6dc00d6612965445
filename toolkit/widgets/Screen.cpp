#include "toolkit/widgets/Screen.h"

#include "toolkit/core/Exceptions.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>

namespace nebulo {

TScreen::TScreen(QObject* Parent) : QObject(Parent)
{
    Cursors_[crDefault] = QCursor(Qt::ArrowCursor);
    Cursors_[crHourGlass] = QCursor(Qt::WaitCursor);
}

QCursor TScreen::Cursors(TCursor Index) const
{
    const auto Entry = Cursors_.find(Index);
    return Entry != Cursors_.end() ? Entry->second : Cursors_.at(crDefault);
}

void TScreen::SetCursors(TCursor Index, const QCursor& Shape)
{
    Cursors_[Index] = Shape;
}

void TScreen::SetCursor(TCursor Value)
{
    if (Value == Cursor_)
        return;
    // At most one override of ours is on the application's stack.
    if (Cursor_ == crDefault)
        QGuiApplication::setOverrideCursor(Cursors(Value));
    else if (Value == crDefault)
        QGuiApplication::restoreOverrideCursor();
    else
        QGuiApplication::changeOverrideCursor(Cursors(Value));
    Cursor_ = Value;
}

TScreen& Screen()
{
    static QPointer<TScreen> Instance;
    if (Instance.isNull()) {
        auto* Application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        if (Application == nullptr)
            throw EInvalidOperation("The screen needs the application object");
        Instance = new TScreen(Application);
    }
    return *Instance;
}

} // namespace nebulo
