#include "toolkit/widgets/FormatSettings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>

namespace nebulo {

namespace {

QChar SystemSeparator()
{
    const QString Point = QLocale::system().decimalPoint();
    return Point.isEmpty() ? QChar('.') : Point[0];
}

// Re-reads the separator when the application is told its locale changed.
class TLocaleWatcher : public QObject {
public:
    explicit TLocaleWatcher(QObject* Parent) : QObject(Parent) { Parent->installEventFilter(this); }
    QChar Separator = SystemSeparator();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::LocaleChange)
            Separator = SystemSeparator();
        return QObject::eventFilter(Watched, Event);
    }
};

TLocaleWatcher& Watcher()
{
    static TLocaleWatcher* Instance = new TLocaleWatcher(QCoreApplication::instance());
    return *Instance;
}

} // namespace

QChar DecimalSeparator()
{
    return Watcher().Separator;
}

void SetDecimalSeparator(QChar Value)
{
    Watcher().Separator = Value;
}

} // namespace nebulo
