#pragma once

#include "toolkit/widgets/Form.h"

namespace nebulo {

class TImage;
class TLabel;

// The about box: the program's icon, its name and three credit lines. A click
// anywhere on it, Escape, Enter or Space closes it; it is hidden, not destroyed.
class TAboutBox : public TForm {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* Parent = nullptr);

    TImage* Image1;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;

public slots:
    void FormClick(QObject* Sender);
    void Label1Click(QObject* Sender);
    void Label2Click(QObject* Sender);
    void Label3Click(QObject* Sender);
    void Label4Click(QObject* Sender);

protected:
    void keyPressEvent(QKeyEvent* Event) override;
};

// The about box of the running program, made hidden at start-up.
extern TAboutBox* AboutBox;

} // namespace nebulo
