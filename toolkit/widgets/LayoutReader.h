#pragma once

#include "toolkit/core/Exceptions.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace nebulo {

class TForm;

// A stored layout that cannot be read; the message names the line.
class ELayoutError : public Exception {
public:
    using Exception::Exception;
};

// Stored layouts are text, one property a line:
//
//   object Form1: TForm1
//     Caption = 'Nebulo'
//     ClientWidth = 258
//     OnCreate = FormCreate
//     object SDIB1: TSDIB
//       Data = {}
//     end
//   end
//
// Values are integers, 'quoted strings' ('' stands for a quote), identifiers
// (True, False, enumeration names, handler names) and raw bytes as hex in
// braces, which may run over several lines. A property whose name starts with
// "On" binds the control's event of that name to the form's handler slot.

using TComponentFactory = std::function<QObject*(QWidget* Parent)>;

// Makes a class known to the layout reader by its stored name.
void RegisterComponentClass(const QString& ClassName, TComponentFactory Factory);

bool IsRegisteredComponentClass(const QString& ClassName);

template <typename T>
void RegisterComponentClass(const QString& ClassName)
{
    RegisterComponentClass(ClassName, [](QWidget* Parent) -> QObject* { return new T(Parent); });
}

// Reads Text into Root: creates the controls and components it lists as
// Root's children, sets their properties and binds the handlers.
void ReadLayoutText(TForm& Root, const QString& Text);

// Writes Root and its named components back in the same form.
QString WriteLayoutText(TForm& Root);

// The component Name that Form's layout made; a layout without it is broken.
template <typename T>
T* LayoutComponent(QObject& Form, const char* Name)
{
    auto* Found = Form.findChild<T*>(Name);
    if (Found == nullptr)
        throw ELayoutError(std::string("The layout has no ") + Name);
    return Found;
}

} // namespace nebulo
