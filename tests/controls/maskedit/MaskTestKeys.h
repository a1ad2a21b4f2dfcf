#pragma once

#include <QString>

#include "MaskEngine.h"

// Drives a MaskEngine as the widget does: key-down, then key-press for keys
// that type a character. `keys` is typed text with braced key names:
// {BS} {S-BS} {DEL} {S-DEL} {C-DEL} {CS-DEL} {LEFT} {RIGHT} {HOME} {END} {INS} {.}
// Backspace also types its character (8), as a keyboard's does.
// Returns the number of refused edits (the beeps a user would hear).
inline int TypeKeys(MaskEngine& engine, const QString& keys) {
    struct Named {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
    };
    static const Named named[] = {
        {"BS", Qt::Key_Backspace, Qt::NoModifier},
        {"S-BS", Qt::Key_Backspace, Qt::ShiftModifier},
        {"DEL", Qt::Key_Delete, Qt::NoModifier},
        {"S-DEL", Qt::Key_Delete, Qt::ShiftModifier},
        {"C-DEL", Qt::Key_Delete, Qt::ControlModifier},
        {"CS-DEL", Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier},
        {"LEFT", Qt::Key_Left, Qt::NoModifier},
        {"RIGHT", Qt::Key_Right, Qt::NoModifier},
        {"HOME", Qt::Key_Home, Qt::NoModifier},
        {"END", Qt::Key_End, Qt::NoModifier},
        {"INS", Qt::Key_Insert, Qt::NoModifier},
    };
    int failures = 0;
    for (int i = 0; i < keys.size(); ++i) {
        if (keys.at(i) == u'{') {
            const int end = keys.indexOf(u'}', i);
            const QString name = keys.mid(i + 1, end - i - 1);
            i = end;
            if (name == QLatin1String(".")) {
                failures += engine.KeyDown(Qt::Key_Period, Qt::NoModifier).failed;
                failures += engine.KeyPress(u'.').failed;
                continue;
            }
            for (const Named& n : named) {
                if (name == QLatin1String(n.name)) {
                    failures += engine.KeyDown(n.key, n.modifiers).failed;
                    if (n.key == Qt::Key_Backspace) failures += engine.KeyPress(QChar(8)).failed;
                }
            }
            continue;
        }
        failures += engine.KeyDown(Qt::Key_unknown, Qt::NoModifier).failed;
        failures += engine.KeyPress(keys.at(i)).failed;
    }
    return failures;
}
