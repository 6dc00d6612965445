#include "app/Accessibility.h"

#include "app/About.h"
#include "app/AmountText.h"
#include "app/Announcer.h"
#include "app/Blur1.h"
#include "app/Interaction.h"
#include "interaction/KeyCommands.h"
#include "interaction/ScreenReaderTexts.h"
#include "toolkit/widgets/AccessibleControls.h"
#include "toolkit/widgets/CheckBox.h"
#include "toolkit/widgets/FormatSettings.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/SpeedButton.h"
#include "toolkit/widgets/TrackBar.h"
#include "view/ZImage.h"

#include <QAccessibleWidget>

namespace nebulo {

namespace {

// The slider's positions per unit of the blur amount.
constexpr int PositionsPerAmount = 10;

QAccessibleInterface* WindowInterface(const QString& ClassName, QObject* Object)
{
    const std::pair<const QMetaObject*, QAccessible::Role> Roles[] = {
        {&TForm1::staticMetaObject, QAccessible::Window},
        {&TAboutBox::staticMetaObject, QAccessible::Dialog},
        {&TZImage::staticMetaObject, QAccessible::Graphic},
        {&TAnnouncer::staticMetaObject, QAccessible::Notification}};
    for (auto [Meta, Role] : Roles)
        if (ClassName == QLatin1String(Meta->className()))
            return new QAccessibleWidget(static_cast<QWidget*>(Object), Role);
    return nullptr;
}

} // namespace

void RegisterAccessibleWindows()
{
    InstallAccessibleFactory(WindowInterface);
}

TAccessibility::TAccessibility(TForm1& Window, TInteraction& Additions)
    : Window_(Window), Announcer_(new TAnnouncer(&Window))
{
    RegisterAccessibleWindows();
    NamePictureControls();
    OrderTabStops();
    Window.ZImage1->setAccessibleName(NoPictureName());

    connect(&Window, &TForm1::Pasted, this, [this] {
        const TBitmap& Picture = *Window_.ZImage1->Bitmap();
        PictureShown(PastedNews(Picture.Width(), Picture.Height()));
    });
    connect(&Window, &TForm1::Blurred, this, [this] {
        const TBitmap& Picture = *Window_.ZImage1->Bitmap();
        const QString Amount = AmountText(Window_.TrackBar1->Position(), DecimalSeparator());
        PictureShown(BlurredNews(Amount, Picture.Width(), Picture.Height()));
    });
    connect(&Additions, &TInteraction::StepShown, this, [this](bool Back) {
        const TBitmap& Picture = *Window_.ZImage1->Bitmap();
        PictureShown(StepNews(Back, Picture.Width(), Picture.Height()));
    });
}

// The names a person would say; the descriptions stay the hints, which name
// the keys, and the key bindings tell the same keys.
void TAccessibility::NamePictureControls()
{
    const std::tuple<TSpeedButton*, const char*, TKeyCommand> Buttons[] = {
        {Window_.SpeedButton4, "Paste", TKeyCommand::Paste},
        {Window_.SpeedButton3, "Copy", TKeyCommand::Copy},
        {Window_.SpeedButton1, "Move tool", TKeyCommand::MoveTool},
        {Window_.SpeedButton2, "Zoom tool", TKeyCommand::ZoomTool},
        {Window_.SpeedButton5, "Blur", TKeyCommand::Blur}};
    for (auto [Button, Name, Command] : Buttons) {
        Button->setAccessibleName(QString::fromUtf8(Name));
        Button->SetKeyBinding(QKeySequence(KeyText(Command)));
    }
    Window_.CheckBox1->setAccessibleName(QStringLiteral("Add border"));
    Window_.CheckBox1->setAccessibleDescription(
        QStringLiteral("Puts a white border around the picture before each Blur"));
    // The amount label names the slider; the slider tells the amount.
    Window_.TrackBar1->setAccessibleName(QStringLiteral("Blur amount"));
    Window_.TrackBar1->SetPositionsPerUnit(PositionsPerAmount);
    Window_.Label3->setAccessibleName(QStringLiteral("Blur amount"));
    Window_.Label3->setBuddy(Window_.TrackBar1);
}

// Every control takes the focus from the keyboard, in the order they are
// seen: the view, the buttons from the left, Add Border, the slider. A click
// on a button leaves the focus where it was, as it always did.
void TAccessibility::OrderTabStops()
{
    QWidget* const Order[] = {Window_.ZImage1,      Window_.SpeedButton4, Window_.SpeedButton3,
                              Window_.SpeedButton1, Window_.SpeedButton2, Window_.SpeedButton5,
                              Window_.CheckBox1,    Window_.TrackBar1};
    for (QWidget* Control : Order)
        Control->setFocusPolicy(Qt::TabFocus);
    // The keys also reach these two after a click.
    Window_.CheckBox1->SetTabStop(true);
    Window_.TrackBar1->SetTabStop(true);
    for (size_t At = 1; At < std::size(Order); ++At)
        QWidget::setTabOrder(Order[At - 1], Order[At]);
}

void TAccessibility::PictureShown(const QString& News)
{
    const TBitmap& Picture = *Window_.ZImage1->Bitmap();
    Window_.ZImage1->setAccessibleName(PictureName(Picture.Width(), Picture.Height()));
    Announcer_->Say(News);
}

} // namespace nebulo
