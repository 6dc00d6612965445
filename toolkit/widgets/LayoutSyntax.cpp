#include "toolkit/widgets/LayoutSyntax.h"

#include "toolkit/widgets/LayoutReader.h"

#include <QRegularExpression>

#include <cctype>
#include <QStringList>

namespace nebulo {

namespace {

// Raw bytes are written in lines of this many hex digits.
constexpr int HexDigitsPerLine = 64;

class TParser {
public:
    explicit TParser(const QString& Text) : Lines_(Text.split('\n')) {}

    TLayoutObject ParseDocument()
    {
        const TLayoutObject Root = ParseObject();
        SkipBlank();
        if (Index_ < Lines_.size())
            Fail("text after the last end");
        return Root;
    }

private:
    [[noreturn]] void Fail(const std::string& What) const
    {
        throw ELayoutError("Layout line " + std::to_string(Index_ + 1) + ": " + What);
    }

    void SkipBlank()
    {
        while (Index_ < Lines_.size() && Lines_[Index_].trimmed().isEmpty())
            ++Index_;
    }

    TLayoutObject ParseObject()
    {
        SkipBlank();
        static const QRegularExpression Header(R"(^object\s+(\w+)\s*:\s*(\w+)$)");
        const auto Match = Header.match(Index_ < Lines_.size() ? Lines_[Index_].trimmed() : QString());
        if (!Match.hasMatch())
            Fail("expected \"object Name: TClass\"");
        TLayoutObject Object;
        Object.Name = Match.captured(1);
        Object.ClassName = Match.captured(2);
        Object.Line = Index_ + 1;
        ++Index_;
        for (SkipBlank(); Index_ < Lines_.size(); SkipBlank()) {
            const QString Line = Lines_[Index_].trimmed();
            if (Line == "end") {
                ++Index_;
                return Object;
            }
            if (Line.startsWith("object "))
                Object.Children.push_back(ParseObject());
            else
                Object.Properties.push_back(ParseProperty());
        }
        Fail("missing end of " + Object.Name.toStdString());
    }

    TLayoutProperty ParseProperty()
    {
        const QString Line = Lines_[Index_].trimmed();
        static const QRegularExpression Assignment(R"(^([A-Za-z_][\w.]*)\s*=\s*(.*)$)");
        const auto Match = Assignment.match(Line);
        if (!Match.hasMatch())
            Fail("expected \"Name = value\"");
        TLayoutProperty Property;
        Property.Name = Match.captured(1);
        Property.Line = Index_ + 1;
        Property.Value = ParseValue(Match.captured(2));
        ++Index_;
        return Property;
    }

    TLayoutValue ParseValue(const QString& Text)
    {
        TLayoutValue Value;
        static const QRegularExpression Number(R"(^-?\d{1,18}$)");
        static const QRegularExpression Word(R"(^[A-Za-z_]\w*$)");
        if (Number.match(Text).hasMatch()) {
            Value.Kind = TLayoutValue::Integer;
            Value.Number = Text.toLongLong();
        } else if (Word.match(Text).hasMatch()) {
            Value.Kind = TLayoutValue::Identifier;
            Value.Text = Text;
        } else if (Text.startsWith('\'')) {
            Value.Kind = TLayoutValue::String;
            Value.Text = ParseString(Text);
        } else if (Text.startsWith('{')) {
            Value.Kind = TLayoutValue::Binary;
            Value.Bytes = ParseHex(Text.mid(1));
        } else {
            Fail("a value is an integer, a 'string', a name or {hex}");
        }
        return Value;
    }

    QString ParseString(const QString& Text)
    {
        QString Result;
        int I = 1;
        for (; I < Text.size(); ++I) {
            if (Text[I] != '\'') {
                Result += Text[I];
            } else if (I + 1 < Text.size() && Text[I + 1] == '\'') {
                Result += '\'';
                ++I;
            } else {
                break;
            }
        }
        if (I != Text.size() - 1)
            Fail("a string ends with its closing quote at the end of the line");
        return Result;
    }

    // Hex digits up to the closing brace, over as many lines as it takes.
    QByteArray ParseHex(QString Text)
    {
        QByteArray Digits;
        for (;;) {
            const int Close = Text.indexOf('}');
            const QString Part = (Close >= 0 ? Text.left(Close) : Text).trimmed();
            for (const QChar C : Part) {
                if (!std::isxdigit(C.unicode()) || C.unicode() > 127)
                    Fail("raw bytes hold hex digits only");
                Digits += char(C.unicode());
            }
            if (Close >= 0) {
                if (!Text.mid(Close + 1).trimmed().isEmpty())
                    Fail("nothing may follow the closing brace");
                break;
            }
            if (++Index_ >= Lines_.size())
                Fail("raw bytes without their closing brace");
            Text = Lines_[Index_];
        }
        if (Digits.size() % 2 != 0)
            Fail("raw bytes need an even number of hex digits");
        return QByteArray::fromHex(Digits);
    }

    QStringList Lines_;
    int Index_ = 0;
};

QString QuoteString(const QString& Text)
{
    return '\'' + QString(Text).replace('\'', "''") + '\'';
}

void FormatObject(const TLayoutObject& Object, const QString& Indent, QString& Out)
{
    Out += Indent + "object " + Object.Name + ": " + Object.ClassName + '\n';
    const QString Inner = Indent + "  ";
    for (const TLayoutProperty& Property : Object.Properties) {
        Out += Inner + Property.Name + " = ";
        const TLayoutValue& Value = Property.Value;
        switch (Value.Kind) {
        case TLayoutValue::Integer: Out += QString::number(Value.Number); break;
        case TLayoutValue::String: Out += QuoteString(Value.Text); break;
        case TLayoutValue::Identifier: Out += Value.Text; break;
        case TLayoutValue::Binary: {
            const QString Hex = QString::fromLatin1(Value.Bytes.toHex().toUpper());
            if (Hex.size() <= HexDigitsPerLine) {
                Out += '{' + Hex + '}';
                break;
            }
            Out += '{';
            for (int I = 0; I < Hex.size(); I += HexDigitsPerLine)
                Out += '\n' + Inner + "  " + Hex.mid(I, HexDigitsPerLine);
            Out += '}';
            break;
        }
        }
        Out += '\n';
    }
    for (const TLayoutObject& Child : Object.Children)
        FormatObject(Child, Inner, Out);
    Out += Indent + "end\n";
}

} // namespace

TLayoutObject ParseLayout(const QString& Text)
{
    return TParser(Text).ParseDocument();
}

QString FormatLayout(const TLayoutObject& Object)
{
    QString Out;
    FormatObject(Object, QString(), Out);
    return Out;
}

} // namespace nebulo
