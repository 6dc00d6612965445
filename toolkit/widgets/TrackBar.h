#pragma once

#include <QSlider>

namespace nebulo {

// A horizontal slider. It takes focus on a click (never by Tab when it is no
// tab stop) and answers the arrow keys by LineSize, Page Up and Page Down by
// PageSize, Home and End.
class TTrackBar : public QSlider {
    Q_OBJECT
    Q_PROPERTY(int Min READ minimum WRITE setMinimum)
    Q_PROPERTY(int Max READ maximum WRITE setMaximum)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int LineSize READ singleStep WRITE setSingleStep)
    Q_PROPERTY(int PageSize READ pageStep WRITE setPageStep)
    Q_PROPERTY(int Frequency READ tickInterval WRITE setTickInterval)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)

public:
    explicit TTrackBar(QWidget* Parent = nullptr);

    int Position() const { return value(); }
    void SetPosition(int Value) { setValue(Value); }
    bool TabStop() const { return focusPolicy() == Qt::StrongFocus; }
    void SetTabStop(bool Value) { setFocusPolicy(Value ? Qt::StrongFocus : Qt::ClickFocus); }
    // How many positions make one unit of the value that screen readers
    // read: at 10, position 30 reads as 3.
    int PositionsPerUnit() const { return PositionsPerUnit_; }
    void SetPositionsPerUnit(int Value) { PositionsPerUnit_ = Value; }

signals:
    // Any change of the position.
    void Change();

private:
    int PositionsPerUnit_ = 1;
};

} // namespace nebulo
