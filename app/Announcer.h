#pragma once

#include <QWidget>

namespace nebulo {

// Tells screen readers a short text without showing anything: a child of
// no size that reads as a notification and shows itself anew for each text,
// which screen readers speak whatever has the focus.
class TAnnouncer : public QWidget {
    Q_OBJECT
public:
    explicit TAnnouncer(QWidget* Parent);

    void Say(const QString& Text);
};

} // namespace nebulo
