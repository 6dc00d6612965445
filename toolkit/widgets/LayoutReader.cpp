#include "toolkit/widgets/LayoutReader.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Stream.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/LayoutProperties.h"
#include "toolkit/widgets/LayoutSyntax.h"

#include <QMetaProperty>
#include <QWidget>

#include <map>

namespace nebulo {

namespace {

std::map<QString, TComponentFactory>& Registry()
{
    static std::map<QString, TComponentFactory> Classes;
    return Classes;
}

[[noreturn]] void Fail(const TLayoutProperty& Property, const std::string& What)
{
    throw ELayoutError("Layout line " + std::to_string(Property.Line) + ": " + Property.Name.toStdString() + ": "
                       + What);
}

QVariant ToVariant(const TLayoutValue& Value)
{
    switch (Value.Kind) {
    case TLayoutValue::Integer: return QVariant(qlonglong(Value.Number));
    case TLayoutValue::String: return QVariant(Value.Text);
    case TLayoutValue::Identifier:
        if (Value.Text == "True" || Value.Text == "False")
            return QVariant(Value.Text == "True");
        return QVariant(Value.Text);
    case TLayoutValue::Binary: break;
    }
    return QVariant(Value.Bytes);
}

// A hint shows as a tool tip only while ShowHint is on.
void SetHintProperty(QWidget& Control, const QString& Name, const QVariant& Value)
{
    Control.setProperty(Name == "Hint" ? HintProperty : ShowHintProperty, Value);
    const bool Shown = Control.property(ShowHintProperty).toBool();
    Control.setToolTip(Shown ? Control.property(HintProperty).toString() : QString());
}

// Properties every control has, whatever Qt widget stands behind it.
bool SetControlProperty(QWidget& Control, const QString& Name, const QVariant& Value)
{
    if (Name == "Left")
        Control.move(Value.toInt(), Control.y());
    else if (Name == "Top")
        Control.move(Control.x(), Value.toInt());
    else if (Name == "Width")
        Control.resize(Value.toInt(), Control.height());
    else if (Name == "Height")
        Control.resize(Control.width(), Value.toInt());
    else if (Name == "Hint" || Name == "ShowHint")
        SetHintProperty(Control, Name, Value);
    else if (Name == "Enabled")
        Control.setEnabled(Value.toBool());
    else if (Name == "Visible")
        Control.setVisible(Value.toBool());
    else if (Name == "Font.Name") {
        QFont Font = Control.font();
        Font.setFamilies({Value.toString()});
        Font.setStyleHint(QFont::SansSerif);
        Control.setFont(Font);
    } else if (Name == "Font.Size") {
        QFont Font = Control.font();
        Font.setPointSize(Value.toInt());
        Control.setFont(Font);
    } else
        return false;
    return true;
}

class TLayoutApplier {
public:
    explicit TLayoutApplier(TForm& Root) : Root_(Root) {}

    void Apply(const TLayoutObject& Object, QObject& Target)
    {
        Target.setObjectName(Object.Name);
        for (const TLayoutProperty& Property : Object.Properties) {
            try {
                SetProperty(Target, Property);
            } catch (const ELayoutError&) {
                throw;
            } catch (const Exception& Error) {
                Fail(Property, Error.what());
            }
        }
        for (const TLayoutObject& Child : Object.Children)
            Apply(Child, Create(Child, Target));
    }

private:
    QObject& Create(const TLayoutObject& Object, QObject& Parent)
    {
        const auto Found = Registry().find(Object.ClassName);
        if (Found == Registry().end())
            throw ELayoutError("Layout line " + std::to_string(Object.Line) + ": class "
                               + Object.ClassName.toStdString() + " not found");
        auto* ParentWidget = qobject_cast<QWidget*>(&Parent);
        QObject* Created = Found->second(ParentWidget != nullptr ? ParentWidget : &Root_);
        if (Created->parent() == nullptr)
            Created->setParent(&Root_);
        return *Created;
    }

    void SetProperty(QObject& Target, const TLayoutProperty& Property)
    {
        const TLayoutValue& Value = Property.Value;
        if (Property.Name.startsWith("On") && Value.Kind == TLayoutValue::Identifier) {
            new TEventBinding(&Target, Property.Name.mid(2), &Root_, Value.Text);
            return;
        }
        if (Value.Kind == TLayoutValue::Binary) {
            SetBinaryProperty(Target, Property);
            return;
        }
        const QByteArray Name = Property.Name.toLatin1();
        const int Index = Target.metaObject()->indexOfProperty(Name.constData());
        if (Index >= 0) {
            if (!Target.metaObject()->property(Index).write(&Target, ToVariant(Value)))
                Fail(Property, "value cannot be taken");
            return;
        }
        if (auto* Control = qobject_cast<QWidget*>(&Target); Control && SetControlProperty(*Control, Property.Name, ToVariant(Value)))
            return;
        Fail(Property, "no such property");
    }

    // Raw bytes go to the component's own reader; "Picture.Data" reads a
    // fresh bitmap and hands it to the component's Picture property.
    void SetBinaryProperty(QObject& Target, const TLayoutProperty& Property)
    {
        TMemoryStream Bytes(Property.Value.Bytes.constData(), Property.Value.Bytes.size());
        const TDeclaredBinaryProperties Declared(&Target);
        if (const auto* Entry = Declared.Find(Property.Name.toStdString())) {
            Entry->Read(Bytes);
            return;
        }
        const QString Owner = Property.Name.section('.', 0, 0);
        const QVariant Current = Target.property(Owner.toLatin1().constData());
        if (Property.Name.count('.') == 1 && Current.canConvert<TBitmap*>()) {
            TBitmap Picture;
            TDeclaredBinaryProperties PictureProperties(nullptr);
            DefinePropertiesOf(Picture, PictureProperties);
            if (const auto* Entry = PictureProperties.Find(Property.Name.section('.', 1).toStdString())) {
                Entry->Read(Bytes);
                Target.setProperty(Owner.toLatin1().constData(), QVariant::fromValue(&Picture));
                return;
            }
        }
        Fail(Property, "no such raw-byte property");
    }

    TForm& Root_;
};

} // namespace

void RegisterComponentClass(const QString& ClassName, TComponentFactory Factory)
{
    Registry()[ClassName] = std::move(Factory);
}

bool IsRegisteredComponentClass(const QString& ClassName)
{
    return Registry().count(ClassName) != 0;
}

void ReadLayoutText(TForm& Root, const QString& Text)
{
    const TLayoutObject Layout = ParseLayout(Text);
    TLayoutApplier(Root).Apply(Layout, Root);
}

} // namespace nebulo
