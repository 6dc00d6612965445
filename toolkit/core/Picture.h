#pragma once

#include "toolkit/core/Graphic.h"
#include "toolkit/core/Persistent.h"
#include "toolkit/core/Types.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace nebulo {

// Holds one graphic of whichever class; loads clipboard formats through a
// registry of (format, graphic class) pairs.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    const char* ClassName() const override { return "TPicture"; }

    // None while the picture holds nothing.
    TGraphic* Graphic() const { return Graphic_.get(); }

    // Makes a graphic of the class registered last for Format and loads it
    // from Data; on failure the new graphic is dropped and the old one kept.
    // Fails with "Unsupported clipboard format" when no class knows Format.
    void LoadFromClipboardFormat(uint16_t Format, HGLOBAL Data, HPALETTE Palette);

    static bool SupportsClipboardFormat(uint16_t Format);
    // Later registrations win over earlier ones for the same format.
    static void RegisterClipboardFormat(uint16_t Format, const TGraphicClass& Class);

    std::function<void(TPicture* Sender)> OnChange;

private:
    void Changed();

    std::unique_ptr<TGraphic> Graphic_;
};

} // namespace nebulo
