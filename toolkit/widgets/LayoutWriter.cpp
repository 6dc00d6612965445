#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Stream.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/LayoutProperties.h"
#include "toolkit/widgets/LayoutReader.h"
#include "toolkit/widgets/LayoutSyntax.h"

#include <QMetaProperty>
#include <QWidget>

#include <set>

namespace nebulo {

namespace {

QString StoredClassName(const QObject& Object)
{
    return QString::fromLatin1(Object.metaObject()->className()).section("::", -1);
}

class TLayoutDescriber {
public:
    explicit TLayoutDescriber(TForm& Root) : Root_(Root) {}

    TLayoutObject Describe(QObject& Object)
    {
        TLayoutObject Layout;
        Layout.Name = Object.objectName();
        Layout.ClassName = StoredClassName(Object);
        Written_.clear();
        auto* Control = qobject_cast<QWidget*>(&Object);
        if (&Object == &Root_) {
            Add(Layout, "Left", Integer(Root_.x()));
            Add(Layout, "Top", Integer(Root_.y()));
            Add(Layout, "Font.Name", String(Root_.font().family()));
            Add(Layout, "Font.Size", Integer(Root_.font().pointSize()));
        } else if (Control != nullptr) {
            Add(Layout, "Left", Integer(Control->x()));
            Add(Layout, "Top", Integer(Control->y()));
            Add(Layout, "Width", Integer(Control->width()));
            Add(Layout, "Height", Integer(Control->height()));
        }
        if (Control != nullptr)
            DescribeControl(Layout, *Control);
        DescribePublished(Layout, Object);
        DescribeBinary(Layout, Object);
        for (QObject* Child : Object.children())
            if (auto* Binding = qobject_cast<TEventBinding*>(Child))
                Add(Layout, "On" + Binding->Event(), Identifier(Binding->Handler()));
        for (QObject* Child : Object.children())
            if (Stored(*Child))
                Layout.Children.push_back(Describe(*Child));
        return Layout;
    }

private:
    static TLayoutValue Integer(qint64 Number)
    {
        TLayoutValue Value;
        Value.Number = Number;
        return Value;
    }
    static TLayoutValue String(const QString& Text)
    {
        TLayoutValue Value;
        Value.Kind = TLayoutValue::String;
        Value.Text = Text;
        return Value;
    }
    static TLayoutValue Identifier(const QString& Text)
    {
        TLayoutValue Value;
        Value.Kind = TLayoutValue::Identifier;
        Value.Text = Text;
        return Value;
    }
    static TLayoutValue Binary(TMemoryStream& Stream)
    {
        TLayoutValue Value;
        Value.Kind = TLayoutValue::Binary;
        Value.Bytes = QByteArray(reinterpret_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
        return Value;
    }

    bool Stored(const QObject& Child) const
    {
        return !Child.objectName().isEmpty() && IsRegisteredComponentClass(StoredClassName(Child));
    }

    void Add(TLayoutObject& Layout, const QString& Name, const TLayoutValue& Value)
    {
        if (Written_.insert(Name).second)
            Layout.Properties.push_back({Name, Value, 0});
    }

    void DescribeControl(TLayoutObject& Layout, QWidget& Control)
    {
        const QString Hint = Control.property(HintProperty).toString();
        if (!Hint.isEmpty())
            Add(Layout, "Hint", String(Hint));
        if (Control.property(ShowHintProperty).toBool())
            Add(Layout, "ShowHint", Identifier("True"));
        if (!Control.isEnabled())
            Add(Layout, "Enabled", Identifier("False"));
    }

    // The properties our own classes publish.
    void DescribePublished(TLayoutObject& Layout, QObject& Object)
    {
        const QMetaObject* Meta = Object.metaObject();
        for (int I = 0; I < Meta->propertyCount(); ++I) {
            const QMetaProperty Property = Meta->property(I);
            if (!QByteArray(Property.enclosingMetaObject()->className()).startsWith("nebulo::")
                || !Property.isWritable() || !Property.isStored())
                continue;
            const QString Name = QString::fromLatin1(Property.name());
            const QVariant Value = Property.read(&Object);
            if (Property.isEnumType())
                Add(Layout, Name, Identifier(QString::fromLatin1(Property.enumerator().valueToKey(Value.toInt()))));
            else if (Value.typeId() == QMetaType::Bool)
                Add(Layout, Name, Identifier(Value.toBool() ? "True" : "False"));
            else if (Value.typeId() == QMetaType::QString)
                Add(Layout, Name, String(Value.toString()));
            else if (Value.canConvert<TBitmap*>())
                DescribePicture(Layout, Name, Value.value<TBitmap*>());
            else if (Value.canConvert<qlonglong>())
                Add(Layout, Name, Integer(Value.toLongLong()));
        }
    }

    void DescribePicture(TLayoutObject& Layout, const QString& Name, TBitmap* Picture)
    {
        if (Picture == nullptr)
            return;
        TDeclaredBinaryProperties Declared(nullptr);
        DefinePropertiesOf(*Picture, Declared);
        for (const auto& [Inner, Entry] : Declared.Entries())
            if (Entry.HasData) {
                TMemoryStream Bytes;
                Entry.Write(Bytes);
                Add(Layout, Name + '.' + QString::fromStdString(Inner), Binary(Bytes));
            }
    }

    void DescribeBinary(TLayoutObject& Layout, QObject& Object)
    {
        const TDeclaredBinaryProperties Declared(&Object);
        for (const auto& [Name, Entry] : Declared.Entries())
            if (Entry.HasData) {
                TMemoryStream Bytes;
                Entry.Write(Bytes);
                Add(Layout, QString::fromStdString(Name), Binary(Bytes));
            }
    }

    TForm& Root_;
    std::set<QString> Written_;
};

} // namespace

QString WriteLayoutText(TForm& Root)
{
    return FormatLayout(TLayoutDescriber(Root).Describe(Root));
}

} // namespace nebulo
