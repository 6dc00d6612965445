#include "toolkit/core/Graphic.h"

#include "toolkit/core/FileStream.h"
#include "toolkit/core/Stream.h"

#include <cstring>

namespace nebulo {

bool TGraphic::Equals(TGraphic* Graphic)
{
    if (Graphic == nullptr)
        return false;
    if (Empty() || Graphic->Empty())
        return Empty() && Graphic->Empty();
    if (std::strcmp(ClassName(), Graphic->ClassName()) != 0)
        return false;
    TMemoryStream Mine;
    TMemoryStream Theirs;
    WriteData(Mine);
    Graphic->WriteData(Theirs);
    return Mine.Size() == Theirs.Size()
        && std::memcmp(Mine.Memory(), Theirs.Memory(), static_cast<size_t>(Mine.Size())) == 0;
}

void TGraphic::ReadData(TStream& Stream)
{
    LoadFromStream(Stream);
}

void TGraphic::WriteData(TStream& Stream)
{
    SaveToStream(Stream);
}

void TGraphic::LoadFromFile(const std::string& FileName)
{
    TFileStream Stream(FileName, TFileStream::Mode::Read);
    LoadFromStream(Stream);
}

void TGraphic::SaveToFile(const std::string& FileName)
{
    TFileStream Stream(FileName, TFileStream::Mode::Create);
    SaveToStream(Stream);
}

void TGraphic::Changed()
{
    Modified_ = true;
    if (OnChange)
        OnChange(this);
}

void TGraphic::DefineProperties(TFiler& Filer)
{
    auto* Ancestor = dynamic_cast<TGraphic*>(Filer.Ancestor());
    const bool HasData = Ancestor != nullptr ? !Equals(Ancestor) : !Empty();
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& Stream) { ReadData(Stream); },
        [this](TStream& Stream) { WriteData(Stream); }, HasData);
}

} // namespace nebulo
