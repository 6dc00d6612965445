#include "toolkit/core/Persistent.h"

#include "toolkit/core/Exceptions.h"

namespace nebulo {

void TPersistent::Assign(TPersistent* Source)
{
    if (Source != nullptr)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    Dest->AssignError(this);
}

void TPersistent::DefineProperties(TFiler&) {}

void TPersistent::AssignError(const TPersistent* Source) const
{
    const std::string SourceName = Source != nullptr ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + SourceName + " to a " + ClassName());
}

void DefinePropertiesOf(TPersistent& Object, TFiler& Filer)
{
    Object.DefineProperties(Filer);
}

} // namespace nebulo
