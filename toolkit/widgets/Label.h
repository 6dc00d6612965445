#pragma once

#include <QLabel>

namespace nebulo {

// A text label. With AutoSize it fits itself to its text whenever the text
// changes, keeping its left edge.
class TLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)

public:
    enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)

    explicit TLabel(QWidget* Parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString& Value);
    bool AutoSize() const { return AutoSize_; }
    void SetAutoSize(bool Value) { AutoSize_ = Value; }
    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment Value);

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* Event) override;

private:
    bool AutoSize_ = false;
    TAlignment Alignment_ = TAlignment::taLeftJustify;
};

} // namespace nebulo
