#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace nebulo {

struct TLayoutValue {
    enum TKind { Integer, String, Identifier, Binary };
    TKind Kind = Integer;
    qint64 Number = 0;
    QString Text;     // strings and identifiers
    QByteArray Bytes; // raw bytes
};

struct TLayoutProperty {
    QString Name; // may be dotted: Font.Name, Bitmap.Data
    TLayoutValue Value;
    int Line = 0;
};

struct TLayoutObject {
    QString Name;
    QString ClassName;
    std::vector<TLayoutProperty> Properties;
    std::vector<TLayoutObject> Children;
    int Line = 0;
};

// Where a control keeps its hint and hint switch between the two settings.
inline constexpr const char* HintProperty = "nebuloHint";
inline constexpr const char* ShowHintProperty = "nebuloShowHint";

// Parses a stored layout; fails with ELayoutError naming the line.
TLayoutObject ParseLayout(const QString& Text);

// The text of a layout, indented two spaces a level.
QString FormatLayout(const TLayoutObject& Object);

} // namespace nebulo
