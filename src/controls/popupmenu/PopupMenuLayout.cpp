#include "PopupMenuLayout.h"

#include <QFontMetrics>
#include <algorithm>

#include "MenuCaption.h"

int PopupMenuLayout::BaseHeight(const QFont& font, int iconHeight) {
    return std::max(QFontMetrics(font).height() + 2, iconHeight - 1);
}

int PopupMenuLayout::AddedHeight(const cPopupMenuItem& item, int base) {
    if (item.IsSeparator()) return 6;
    if (item.Header) return (base * 3 + 18) / 4;
    return base + 6;
}

bool PopupMenuLayout::IsShown(const cPopupMenuItem& item, bool hideInfrequentlyUsed) {
    return item.Visible && !(item.InfrequentlyUsed && hideInfrequentlyUsed);
}

int PopupMenuLayout::CaptionWidth(const cPopupMenuItem& item, const Options& options) {
    QFont font = options.font;
    font.setBold(item.Default || font.bold());
    const QFontMetrics metrics(font);
    int width = metrics.horizontalAdvance(MenuCaption::PlainText(item.Caption));
    if (item.ShowCheckAndIcon) width += options.base + 4;
    if (options.office) width += 4;
    return width;
}

void PopupMenuLayout::MeasureMenu(QList<cPopupMenuItem>& items, zs::MenuHandle menu,
                                  const Options& options) {
    const QFontMetrics metrics(options.font);
    int widest = 0;
    bool anyShortcut = false;
    for (const cPopupMenuItem& item : items) {
        if (item.ParentMenu != menu || item.IsSeparator() ||
            !IsShown(item, options.hideInfrequentlyUsed)) {
            continue;
        }
        const int shortcut = metrics.horizontalAdvance(item.ShortcutText);
        anyShortcut = anyShortcut || !item.ShortcutText.isEmpty();
        widest = std::max(widest, CaptionWidth(item, options) + shortcut);
    }
    const int base = options.base;
    for (cPopupMenuItem& item : items) {
        if (item.ParentMenu != menu) continue;
        item.ShortcutOffset = 0;
        if (!IsShown(item, options.hideInfrequentlyUsed)) {
            item.Height = 0;
            item.Width = 8;
        } else if (item.IsSeparator()) {
            item.Height = options.office ? 3 : 8;
            item.Width = 8;
        } else {
            item.ShortcutOffset = widest - metrics.horizontalAdvance(item.ShortcutText) + 10;
            item.Width = base + widest + 14 + (anyShortcut ? 12 : 0);
            item.Height = item.Header ? (base + 6) * 3 / 4 : base + 6;
        }
    }
}
