#pragma once

#include <QLabel>

namespace nebulo {

// A picture from the program's resources. Disabled, it lets clicks through to
// the window beneath it.
class TImage : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Picture READ Picture WRITE SetPicture)

public:
    explicit TImage(QWidget* Parent = nullptr);

    // The resource name of a BMP picture, drawn with its bottom-left colour
    // transparent.
    QString Picture() const { return Picture_; }
    void SetPicture(const QString& Name);

protected:
    void changeEvent(QEvent* Event) override;

private:
    QString Picture_;
};

} // namespace nebulo
