#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGlobal>

namespace zs {

namespace {
constexpr double FallbackDpi = 96.0;
}

double ScreenDpi() {
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen || screen->logicalDotsPerInch() <= 0) return FallbackDpi;
    return screen->logicalDotsPerInch();
}

int TwipsToPixels(int twips, double dpi) {
    return qRound(twips * dpi / TwipsPerInch);
}

int TwipsToPixels(int twips) {
    return TwipsToPixels(twips, ScreenDpi());
}

int PixelsToTwips(int px, double dpi) {
    if (dpi <= 0) dpi = FallbackDpi;
    return qRound(px * TwipsPerInch / dpi);
}

int PixelsToTwips(int px) {
    return PixelsToTwips(px, ScreenDpi());
}

}  // namespace zs
