#include "app/About.h"

#include "app/Accessibility.h"
#include "toolkit/widgets/Image.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/LayoutReader.h"
#include "toolkit/widgets/StandardControls.h"

#include <QKeyEvent>

namespace nebulo {

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget* Parent) : TForm(Parent)
{
    RegisterStandardControls();
    ReadLayout(":/layouts/About.layout");
    Image1 = LayoutComponent<TImage>(*this, "Image1");
    Label1 = LayoutComponent<TLabel>(*this, "Label1");
    Label2 = LayoutComponent<TLabel>(*this, "Label2");
    Label3 = LayoutComponent<TLabel>(*this, "Label3");
    Label4 = LayoutComponent<TLabel>(*this, "Label4");
    RegisterAccessibleWindows();
    setAccessibleDescription(
        QStringList{Label1->Caption(), Label2->Caption(), Label3->Caption(), Label4->Caption()}.join(", "));
    DoCreate();
}

// Without a mouse the box closes as a message box does.
void TAboutBox::keyPressEvent(QKeyEvent* Event)
{
    switch (Event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: Close(); break;
    default: TForm::keyPressEvent(Event);
    }
}

void TAboutBox::FormClick(QObject*)
{
    Close();
}

void TAboutBox::Label1Click(QObject*)
{
    Close();
}

void TAboutBox::Label2Click(QObject*)
{
    Close();
}

void TAboutBox::Label3Click(QObject*)
{
    Close();
}

void TAboutBox::Label4Click(QObject*)
{
    Close();
}

} // namespace nebulo
