#pragma once

#include "toolkit/core/Persistent.h"

#include <QObject>

namespace nebulo {

// A component is owned by its Qt parent, which destroys it; its Name is the
// object name that stored layouts refer to.
class TComponent : public QObject, public TPersistent {
    Q_OBJECT
public:
    explicit TComponent(QObject* Owner = nullptr) : QObject(Owner) {}

    QString Name() const { return objectName(); }
    void SetName(const QString& Value) { setObjectName(Value); }
    const char* ClassName() const override { return "TComponent"; }
};

} // namespace nebulo
