#include "toolkit/widgets/LayoutProperties.h"

#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/LayoutReader.h"

#include <QMetaMethod>

namespace nebulo {

TDeclaredBinaryProperties::TDeclaredBinaryProperties(QObject* Component)
{
    if (auto* Persistent = dynamic_cast<TPersistent*>(Component))
        DefinePropertiesOf(*Persistent, *this);
}

void TDeclaredBinaryProperties::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                                     const TStreamProc& WriteData, bool HasData)
{
    Entries_.emplace_back(Name, TEntry{ReadData, WriteData, HasData});
}

const TDeclaredBinaryProperties::TEntry* TDeclaredBinaryProperties::Find(const std::string& Name) const
{
    for (const auto& [EntryName, Entry] : Entries_)
        if (EntryName == Name)
            return &Entry;
    return nullptr;
}

TEventBinding::TEventBinding(QObject* Control, const QString& Event, QObject* Form, const QString& Handler)
    : QObject(Control), Event_(Event), Form_(Form), Handler_(Handler)
{
    const QByteArray Signal = Event.toLatin1() + "()";
    const int SignalIndex = Control->metaObject()->indexOfSignal(Signal.constData());
    if (SignalIndex < 0)
        throw ELayoutError(Control->objectName().toStdString() + " has no event On" + Event.toStdString());
    const QByteArray Slot = Handler.toLatin1() + "(QObject*)";
    if (Form->metaObject()->indexOfMethod(Slot.constData()) < 0)
        throw ELayoutError("The form has no handler " + Handler.toStdString());
    QMetaObject::connect(Control, SignalIndex, this, metaObject()->indexOfSlot("Fire()"));
}

void TEventBinding::Fire()
{
    QObject* Sender = parent();
    Application().Guard([&] {
        QMetaObject::invokeMethod(Form_, Handler_.toLatin1().constData(), Qt::DirectConnection,
                                  Q_ARG(QObject*, Sender));
    });
}

} // namespace nebulo
