#pragma once

#include "blur/BlurForecast.h"

#include <QChar>
#include <QString>

namespace nebulo {

// The hints extend the stored ones, whose words always come first.

// "Copy to Clipboard" with its key: "Copy to Clipboard (Ctrl+C)".
QString HintWithKey(const QString& Stored, const QString& Key);
// The zoom tool's hint with its key and the keys and wheel that zoom.
QString ZoomToolHint(const QString& Stored);
// The slider's hint: the amount, σ and the kernel's taps, and what a Blur
// at this position will do to the picture shown.
QString SliderHint(const QString& Stored, const TBlurForecast& Forecast, QChar DecimalSeparator);
// The Blur button's hint: its key, the same forecast, and the keys that take
// a Blur back and compare with the original.
QString BlurButtonHint(const QString& Stored, const TBlurForecast& Forecast, QChar DecimalSeparator);

} // namespace nebulo
