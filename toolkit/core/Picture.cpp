#include "toolkit/core/Picture.h"

#include "toolkit/core/Exceptions.h"

#include <utility>
#include <vector>

namespace nebulo {

namespace {

using TRegistry = std::vector<std::pair<uint16_t, TGraphicClass>>;

TRegistry& Registry()
{
    static TRegistry Pairs;
    return Pairs;
}

const TGraphicClass* ClassFor(uint16_t Format)
{
    const TRegistry& Pairs = Registry();
    for (auto Pair = Pairs.rbegin(); Pair != Pairs.rend(); ++Pair)
        if (Pair->first == Format)
            return &Pair->second;
    return nullptr;
}

} // namespace

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::LoadFromClipboardFormat(uint16_t Format, HGLOBAL Data, HPALETTE Palette)
{
    const TGraphicClass* Class = ClassFor(Format);
    if (Class == nullptr)
        throw EInvalidGraphic("Unsupported clipboard format");
    std::unique_ptr<TGraphic> Loaded = Class->Create();
    Loaded->LoadFromClipboardFormat(Format, Data, Palette);
    Loaded->OnChange = [this](TGraphic*) { Changed(); };
    Graphic_ = std::move(Loaded);
    Changed();
}

bool TPicture::SupportsClipboardFormat(uint16_t Format)
{
    return ClassFor(Format) != nullptr;
}

void TPicture::RegisterClipboardFormat(uint16_t Format, const TGraphicClass& Class)
{
    Registry().emplace_back(Format, Class);
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

} // namespace nebulo
