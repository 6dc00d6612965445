#include "app/About.h"

#include "toolkit/widgets/Image.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/LayoutReader.h"
#include "toolkit/widgets/StandardControls.h"

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
    DoCreate();
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
