#pragma once

#include "toolkit/core/Persistent.h"

#include <QObject>
#include <QString>

#include <map>
#include <string>

namespace nebulo {

// The raw-byte properties a component declares for its stored layout.
class TDeclaredBinaryProperties : public TFiler {
public:
    struct TEntry {
        TStreamProc Read;
        TStreamProc Write;
        bool HasData = false;
    };

    explicit TDeclaredBinaryProperties(QObject* Component);
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    // In the order declared.
    const std::vector<std::pair<std::string, TEntry>>& Entries() const { return Entries_; }
    const TEntry* Find(const std::string& Name) const;

private:
    std::vector<std::pair<std::string, TEntry>> Entries_;
};

// Relays a control's event to the form's handler of that name, with the
// control as Sender, through the application's guard.
class TEventBinding : public QObject {
    Q_OBJECT
public:
    TEventBinding(QObject* Control, const QString& Event, QObject* Form, const QString& Handler);

    const QString& Event() const { return Event_; }
    const QString& Handler() const { return Handler_; }

public slots:
    void Fire();

private:
    QString Event_;
    QObject* Form_;
    QString Handler_;
};

} // namespace nebulo
