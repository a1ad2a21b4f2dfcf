#pragma once

#include <QString>
#include <QtGlobal>

// Shortcut modifier flags.
namespace ShortcutModifier {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
}  // namespace ShortcutModifier

// A menu caption as the caller writes it, taken apart:
//   "-"            a separator; nothing else is read
//   "-Text"        a header reading Text
//   "|" / "^"      column break / break (removed); "||" and "^^" stand for "|" and "^"
//   "Cap\tKeys"    the caption and its shortcut text, e.g. "&Open\tCtrl+O"
//   "&x"           x (upper-cased) is the accelerator; "&&" is a literal "&"
struct MenuCaption {
    bool separator = false;
    bool header = false;
    bool columnBreak = false;
    bool lineBreak = false;
    QString caption;       // what is shown, "&" markers kept
    QString shortcutText;  // trimmed
    QString accelerator;   // one upper-case character, or ""
    quint16 shortcutKey = 0;
    int shortcutModifiers = 0;  // ShortcutModifier flags

    static MenuCaption Parse(const QString& raw);
    // Key code and modifiers of a shortcut text such as "Ctrl+Shift+F5" or "Page Up".
    static void ParseShortcut(const QString& text, quint16& key, int& modifiers);
    // The caption without its "&" markers ("&&" gives "&").
    static QString PlainText(const QString& caption);

private:
    static QString TakeMarker(const QString& text, QChar marker, bool& found);
    static QString AcceleratorOf(const QString& caption);
};
