#pragma once

#include "toolkit/widgets/Bevel.h"

#include <QWidget>

namespace nebulo {

// A frame with an outer and an inner bevel, each BevelWidth pixels wide.
class TPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(TCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)

public:
    enum class TCut { bvNone, bvLowered, bvRaised };
    Q_ENUM(TCut)

    explicit TPanel(QWidget* Parent = nullptr);

    TCut BevelOuter() const { return Outer_; }
    void SetBevelOuter(TCut Value);
    TCut BevelInner() const { return Inner_; }
    void SetBevelInner(TCut Value);
    int BevelWidth() const { return Width_; }
    void SetBevelWidth(int Value);

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    TCut Outer_ = TCut::bvRaised;
    TCut Inner_ = TCut::bvNone;
    int Width_ = 1;
};

} // namespace nebulo
