// The stored-settings text parser on arbitrary text. Whatever it accepts must
// write back to a text that reads back to the same settings.

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "PropertyBag.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Fonts need a GUI application; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const auto bag = PropertyBag::FromText(text, &error);
    if (!bag) {
        if (!error.startsWith(QLatin1String("line "))) std::abort();
        return 0;
    }
    const QString written = bag->ToText();
    const auto again = PropertyBag::FromText(written, &error);
    if (!again || again->ToText() != written) std::abort();
    return 0;
}
