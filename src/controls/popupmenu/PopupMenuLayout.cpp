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

PopupMenuLayout::Size PopupMenuLayout::MeasureItem(const QList<cPopupMenuItem>& items,
                                                   qsizetype position, const Options& options) {
    const cPopupMenuItem& item = items[position];
    if (!IsShown(item, options.hideInfrequentlyUsed)) return {0, 8, 0};
    if (item.IsSeparator()) return {options.office ? 3 : 8, 8, 0};

    const QFontMetrics metrics(options.font);
    int widest = 0;
    bool anyShortcut = false;
    for (const cPopupMenuItem& other : items) {
        if (other.ParentMenu != item.ParentMenu || other.IsSeparator() ||
            !IsShown(other, options.hideInfrequentlyUsed)) {
            continue;
        }
        anyShortcut = anyShortcut || !other.ShortcutText.isEmpty();
        widest = std::max(
            widest, CaptionWidth(other, options) + metrics.horizontalAdvance(other.ShortcutText));
    }
    const int base = options.base;
    Size size;
    size.shortcutOffset = widest - metrics.horizontalAdvance(item.ShortcutText) + 10;
    size.width = base + widest + 14 + (anyShortcut ? 12 : 0);
    size.height = item.Header ? (base + 6) * 3 / 4 : base + 6;
    return size;
}
