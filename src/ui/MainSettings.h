#pragma once

#include <QSize>
#include <QString>

// The program's persisted settings: the main window's folder and Auto Play,
// read at start and written at close, and each window's size.
struct MainSettings {
    QString LastDirectory;  // "" when never stored
    QString AutoPlay;       // "0", "1" or "" when never stored

    static MainSettings Read();

    // Writes each value only when it differs from the stored one (an absent
    // AutoPlay counts as 0). Throws AppError when the store refuses a write.
    static void Save(const QString& directory, int autoPlay);

    // The size `window` (an object name) had when last closed; invalid when
    // none is stored.
    static QSize WindowSize(const QString& window);
    // Throws AppError when the store refuses the write.
    static void SaveWindowSize(const QString& window, QSize size);

    // The one-time message about a damaged settings file that was set aside, or "".
    static QString TakeRecoveryNotice();
};
