#pragma once

#include "toolkit/core/Persistent.h"
#include "toolkit/core/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace nebulo {

class TCanvas;
class TGraphic;
class TStream;

// A graphic class as the picture system sees it: its name and its virtual
// constructor.
struct TGraphicClass {
    const char* Name;
    std::unique_ptr<TGraphic> (*Create)();
};

// The base of every graphic. The virtual operations keep the toolkit's slot
// order: AssignTo, DefineProperties, Assign, the virtual constructor (see
// TGraphicClass), Draw, Equals, GetEmpty, GetHeight, GetWidth, ReadData,
// SetHeight, SetWidth, WriteData, LoadFromFile, SaveToFile, LoadFromStream,
// SaveToStream, LoadFromClipboardFormat, SaveToClipboardFormat.
class TGraphic : public TPersistent {
public:
    bool Empty() const { return GetEmpty(); }
    int32_t Width() const { return GetWidth(); }
    int32_t Height() const { return GetHeight(); }

    virtual void Draw(TCanvas& Canvas, const TRect& Rect) = 0;
    // True when both are empty; otherwise true only for the same class with
    // byte-identical streamed data.
    virtual bool Equals(TGraphic* Graphic);
    virtual bool GetEmpty() const = 0;
    virtual int32_t GetHeight() const = 0;
    virtual int32_t GetWidth() const = 0;
    virtual void ReadData(TStream& Stream);
    virtual void SetHeight(int32_t Value) = 0;
    virtual void SetWidth(int32_t Value) = 0;
    virtual void WriteData(TStream& Stream);
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName);
    virtual void LoadFromStream(TStream& Stream) = 0;
    virtual void SaveToStream(TStream& Stream) = 0;
    virtual void LoadFromClipboardFormat(uint16_t Format, HGLOBAL Data, HPALETTE Palette) = 0;
    virtual void SaveToClipboardFormat(uint16_t& Format, HGLOBAL& Data, HPALETTE& Palette) = 0;

    // Sets the modified mark and raises OnChange with this graphic as sender.
    void Changed();
    bool Modified() const { return Modified_; }
    void SetModified(bool Value) { Modified_ = Value; }
    std::function<void(TGraphic* Sender)> OnChange;

protected:
    // Declares "Data", written when the graphic differs from the filer's
    // ancestor (by Equals), or, without an ancestor, when it is not empty.
    void DefineProperties(TFiler& Filer) override;

private:
    bool Modified_ = false;
};

} // namespace nebulo
