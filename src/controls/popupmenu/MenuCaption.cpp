#include "MenuCaption.h"

#include <QStringList>
#include <array>
#include <utility>

namespace {

struct NamedKey {
    const char* name;
    quint16 code;
};

constexpr std::array<NamedKey, 12> kNamedKeys{{{"Home", 36},
                                               {"End", 35},
                                               {"Left Arrow", 37},
                                               {"Right Arrow", 39},
                                               {"Up Arrow", 38},
                                               {"Down Arrow", 40},
                                               {"Break", 12},
                                               {"Page Up", 33},
                                               {"Del", 46},
                                               {"Esc", 27},
                                               {"Tab", 9},
                                               {"Enter", 13}}};

}  // namespace

MenuCaption MenuCaption::Parse(const QString& raw) {
    MenuCaption result;
    if (raw == QLatin1String("-")) {
        result.separator = true;
        result.caption = raw;
        return result;
    }
    QString text = raw;
    if (text.startsWith(QLatin1Char('-'))) {
        result.header = true;
        text.remove(0, 1);
    }
    text = TakeMarker(text, QLatin1Char('|'), result.columnBreak);
    text = TakeMarker(text, QLatin1Char('^'), result.lineBreak);
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        result.shortcutText = text.mid(tab + 1).trimmed();
        text.truncate(tab);
    }
    result.caption = text;
    result.accelerator = AcceleratorOf(text);
    ParseShortcut(result.shortcutText, result.shortcutKey, result.shortcutModifiers);
    return result;
}

QString MenuCaption::TakeMarker(const QString& text, QChar marker, bool& found) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != marker) {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == marker) {
            out += marker;
            ++i;
        } else {
            found = true;
        }
    }
    return out;
}

QString MenuCaption::AcceleratorOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] != QLatin1Char('&')) return caption[i + 1].toUpper();
        ++i;  // "&&" is a literal ampersand, not a marker
    }
    return {};
}

void MenuCaption::ParseShortcut(const QString& text, quint16& key, int& modifiers) {
    key = 0;
    modifiers = 0;
    const QStringList parts = text.trimmed().split(QLatin1Char('+'));
    for (const QString& rawPart : parts) {
        const QString part = rawPart.trimmed();
        if (part.size() == 1) {
            key = part[0].toUpper().unicode();
        } else if (part.compare(QLatin1String("Ctrl"), Qt::CaseInsensitive) == 0) {
            modifiers |= ShortcutModifier::Ctrl;
        } else if (part.compare(QLatin1String("Shift"), Qt::CaseInsensitive) == 0) {
            modifiers |= ShortcutModifier::Shift;
        } else if (part.compare(QLatin1String("Alt"), Qt::CaseInsensitive) == 0) {
            modifiers |= ShortcutModifier::Alt;
        } else if (part.size() > 1 && part[0].toUpper() == QLatin1Char('F')) {
            bool number = false;
            const int n = part.mid(1).toInt(&number);
            if (number && n >= 1 && n <= 24) key = quint16(111 + n);
        } else {
            for (const NamedKey& named : kNamedKeys) {
                if (part.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0) {
                    key = named.code;
                }
            }
        }
    }
}

QString MenuCaption::PlainText(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) {
            out += caption[i];
        } else if (i + 1 < caption.size()) {
            out += caption[++i];  // the marked character, or the second "&" of "&&"
        }
    }
    return out;
}
