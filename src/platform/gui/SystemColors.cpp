#include "SystemColors.h"

#include <QGuiApplication>
#include <array>

namespace zs {

namespace {

struct SystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr QPalette::ColorGroup Active = QPalette::Active;
constexpr QPalette::ColorGroup Inactive = QPalette::Inactive;
constexpr QPalette::ColorGroup Disabled = QPalette::Disabled;

// System colour index → the palette role that plays the same part.
constexpr std::array<SystemRole, 31> Roles{{
    {Active, QPalette::Button},             // 0 scroll bar
    {Active, QPalette::Dark},               // 1 desktop
    {Active, QPalette::Highlight},          // 2 active title bar
    {Inactive, QPalette::Highlight},        // 3 inactive title bar
    {Active, QPalette::Window},             // 4 menu background
    {Active, QPalette::Base},               // 5 window background
    {Active, QPalette::Shadow},             // 6 window frame
    {Active, QPalette::WindowText},         // 7 menu text
    {Active, QPalette::Text},               // 8 window text
    {Active, QPalette::HighlightedText},    // 9 title bar text
    {Active, QPalette::Window},             // 10 active border
    {Inactive, QPalette::Window},           // 11 inactive border
    {Active, QPalette::Dark},               // 12 application workspace
    {Active, QPalette::Highlight},          // 13 selected item
    {Active, QPalette::HighlightedText},    // 14 selected item text
    {Active, QPalette::Button},             // 15 button face
    {Active, QPalette::Dark},               // 16 button shadow
    {Disabled, QPalette::Text},             // 17 grey (disabled) text
    {Active, QPalette::ButtonText},         // 18 button text
    {Inactive, QPalette::HighlightedText},  // 19 inactive title bar text
    {Active, QPalette::Light},              // 20 button highlight
    {Active, QPalette::Shadow},             // 21 3-D dark shadow
    {Active, QPalette::Midlight},           // 22 3-D light
    {Active, QPalette::ToolTipText},        // 23 tool tip text
    {Active, QPalette::ToolTipBase},        // 24 tool tip background
    {Active, QPalette::Window},             // 25 (unused)
    {Active, QPalette::Link},               // 26 hot-tracked item
    {Active, QPalette::Highlight},          // 27 active title bar gradient
    {Inactive, QPalette::Highlight},        // 28 inactive title bar gradient
    {Active, QPalette::Highlight},          // 29 highlighted menu item
    {Active, QPalette::Window},             // 30 menu bar
}};

}  // namespace

QColor TranslateColor(quint32 oleColor, const QPalette& palette) {
    if (IsSystemColor(oleColor)) {
        const quint32 index = oleColor & 0x00FFFFFFu;
        if (index >= Roles.size()) return palette.color(Active, QPalette::Window);
        return palette.color(Roles[index].group, Roles[index].role);
    }
    return QColor(int(oleColor & 0xFF), int((oleColor >> 8) & 0xFF), int((oleColor >> 16) & 0xFF));
}

QColor TranslateColor(quint32 oleColor) {
    const bool haveApp = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return TranslateColor(oleColor, haveApp ? QGuiApplication::palette() : QPalette());
}

quint32 ToOleColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

}  // namespace zs
