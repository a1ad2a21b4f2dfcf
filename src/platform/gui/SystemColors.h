#pragma once

#include <QColor>
#include <QPalette>
#include <QtGlobal>

namespace zs {

// Colours are stored as 32-bit numbers: red + 256 × green + 65536 × blue, or
// 0x80000000 + a system colour index, resolved through the palette when used.
constexpr quint32 SystemColorFlag = 0x80000000u;

constexpr bool IsSystemColor(quint32 oleColor) {
    return (oleColor & 0xFF000000u) == SystemColorFlag;
}

// The colour to paint with. System colours take the palette's matching role
// (an unknown index gives the window background); any other number is read as
// RGB from its low three bytes. Without a palette the application's is used.
QColor TranslateColor(quint32 oleColor, const QPalette& palette);
QColor TranslateColor(quint32 oleColor);

// The stored number of a plain colour (alpha is dropped).
quint32 ToOleColor(const QColor& color);

}  // namespace zs
