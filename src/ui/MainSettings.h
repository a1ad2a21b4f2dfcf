#pragma once

#include <QString>

// The main window's two persisted settings, read at start and written at close
// through the settings store.
struct MainSettings {
    QString LastDirectory;  // "" when never stored
    QString AutoPlay;       // "0", "1" or "" when never stored

    static MainSettings Read();

    // Writes each value only when it differs from the stored one (an absent
    // AutoPlay counts as 0). Throws AppError when the store refuses a write.
    static void Save(const QString& directory, int autoPlay);

    // The one-time message about a damaged settings file that was set aside, or "".
    static QString TakeRecoveryNotice();
};
