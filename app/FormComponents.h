#pragma once

#include "toolkit/widgets/LayoutReader.h"

#include <QObject>

namespace nebulo {

// The component Name that a form's layout made; a layout without it is broken.
template <typename T>
T* Component(QObject& Form, const char* Name)
{
    auto* Found = Form.findChild<T*>(Name);
    if (Found == nullptr)
        throw ELayoutError(std::string("The layout has no ") + Name);
    return Found;
}

} // namespace nebulo
