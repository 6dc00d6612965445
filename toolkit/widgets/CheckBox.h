#pragma once

#include <QCheckBox>

namespace nebulo {

// A check box whose caption stands left of the box.
class TCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)

public:
    explicit TCheckBox(QWidget* Parent = nullptr);

    bool TabStop() const { return focusPolicy() == Qt::StrongFocus; }
    void SetTabStop(bool Value) { setFocusPolicy(Value ? Qt::StrongFocus : Qt::ClickFocus); }

signals:
    void Click();
};

} // namespace nebulo
