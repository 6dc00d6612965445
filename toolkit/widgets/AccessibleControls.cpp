#include "toolkit/widgets/AccessibleControls.h"

#include "toolkit/widgets/SpeedButton.h"
#include "toolkit/widgets/TrackBar.h"

#include <QAccessibleWidget>

#include <algorithm>
#include <vector>

namespace nebulo {

namespace {

// A grouped button is one choice of several, and reads as a radio button
// that is selected while down. Pressed through the bus, a button answers once
// the call has returned, so a long Blur or a message box never holds the
// screen reader's call.
class TAccessibleSpeedButton : public QAccessibleWidget {
public:
    explicit TAccessibleSpeedButton(TSpeedButton* Button) : QAccessibleWidget(Button, QAccessible::Button) {}

    QAccessible::Role role() const override
    {
        return Button()->GroupIndex() != 0 ? QAccessible::RadioButton : QAccessible::Button;
    }
    QAccessible::State state() const override
    {
        QAccessible::State State = QAccessibleWidget::state();
        State.pressed = Button()->isDown();
        State.checkable = Button()->isCheckable();
        State.checked = Button()->isChecked();
        return State;
    }
    // Listed also while the button sleeps, so that its key is always told.
    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& Action) override
    {
        if (Action == pressAction())
            QMetaObject::invokeMethod(Button(), &TSpeedButton::click, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(Action);
    }
    // Key bindings on the bus are "mnemonic;menu path;accelerator".
    QStringList keyBindingsForAction(const QString& Action) const override
    {
        if (Action == pressAction() && !Button()->KeyBinding().isEmpty())
            return {QString(), QString(), AcceleratorText(Button()->KeyBinding())};
        return QAccessibleWidget::keyBindingsForAction(Action);
    }

private:
    TSpeedButton* Button() const { return static_cast<TSpeedButton*>(widget()); }
};

class TAccessibleTrackBar : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TAccessibleTrackBar(TTrackBar* Slider) : QAccessibleWidget(Slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType Type) override
    {
        if (Type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(Type);
    }
    QVariant currentValue() const override { return InUnits(Slider()->Position()); }
    void setCurrentValue(const QVariant& Value) override
    {
        Slider()->SetPosition(qRound(Value.toDouble() * Slider()->PositionsPerUnit()));
    }
    QVariant maximumValue() const override { return InUnits(Slider()->maximum()); }
    QVariant minimumValue() const override { return InUnits(Slider()->minimum()); }
    QVariant minimumStepSize() const override { return InUnits(Slider()->singleStep()); }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& Action) override
    {
        if (Action == increaseAction())
            Slider()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        else if (Action == decreaseAction())
            Slider()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else
            QAccessibleWidget::doAction(Action);
    }

private:
    TTrackBar* Slider() const { return static_cast<TTrackBar*>(widget()); }
    double InUnits(int Positions) const { return Positions / double(Slider()->PositionsPerUnit()); }
};

QAccessibleInterface* ControlInterface(const QString& ClassName, QObject* Object)
{
    if (ClassName == QLatin1String(TSpeedButton::staticMetaObject.className()))
        return new TAccessibleSpeedButton(static_cast<TSpeedButton*>(Object));
    if (ClassName == QLatin1String(TTrackBar::staticMetaObject.className()))
        return new TAccessibleTrackBar(static_cast<TTrackBar*>(Object));
    return nullptr;
}

} // namespace

void InstallAccessibleFactory(QAccessible::InterfaceFactory Factory)
{
    static std::vector<QAccessible::InterfaceFactory> Installed;
    if (std::find(Installed.begin(), Installed.end(), Factory) != Installed.end())
        return;
    Installed.push_back(Factory);
    QAccessible::installFactory(Factory);
}

void RegisterAccessibleControls()
{
    InstallAccessibleFactory(ControlInterface);
}

QString AcceleratorText(const QKeySequence& Key)
{
    if (Key.isEmpty())
        return {};
    const QKeyCombination Combination = Key[0];
    const Qt::KeyboardModifiers Modifiers = Combination.keyboardModifiers();
    QString Text;
    if (Modifiers.testFlag(Qt::ControlModifier))
        Text += QStringLiteral("<Control>");
    if (Modifiers.testFlag(Qt::ShiftModifier))
        Text += QStringLiteral("<Shift>");
    if (Modifiers.testFlag(Qt::AltModifier))
        Text += QStringLiteral("<Alt>");
    return Text + QKeySequence(Combination.key()).toString(QKeySequence::PortableText).toLower();
}

} // namespace nebulo
