#pragma once

#include <QString>
#include <optional>

// A time as scripts and the selection fields take it: a whole number of
// frames, or a number followed by "ms" or "s".
struct EditTime {
    double value = 0;
    double unitSeconds = 0;  // 0 for frames

    // Nothing when `text` is not such a time (signs, spaces and other units are not).
    static std::optional<EditTime> Parse(const QString& text);
    bool IsFrames() const { return unitSeconds == 0; }
    // The frame this time falls on at `rate` frames per second (rounded).
    qint64 Frames(qint32 rate) const;
};
