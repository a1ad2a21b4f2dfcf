#pragma once

#include <QString>
#include <optional>

// A time as scripts and the selection fields take it: a whole number of
// frames, or a number followed by "ms" or "s". Any length of digits is a
// time; one too large for any sound is found out only against a sound.
struct EditTime {
    QString text;            // as given (with its unit), for messages
    double value = 0;        // +inf for a number too large to hold
    double unitSeconds = 0;  // 0 for frames

    // Nothing when `text` is not such a time (signs, spaces, exponents and
    // other units are not).
    static std::optional<EditTime> Parse(const QString& text);
    // A plain number of seconds, without a unit ("1.5").
    static std::optional<EditTime> ParseSeconds(const QString& text);
    // Frame `frame` itself.
    static EditTime Frame(qint64 frame);

    bool IsFrames() const { return unitSeconds == 0; }
    // The frame this time falls on at `rate` (rounded), or nothing when that
    // is not within 0..limit. Compared before it is made a whole number, so
    // that no time, however large, can overflow.
    std::optional<qint64> FrameUpTo(qint32 rate, qint64 limit) const;
};

// Frames [first, first + count) of a sound, or why the numbers given do not
// name any.
struct FrameSpan {
    qint64 first = 0;
    qint64 count = 0;
    QString problem;  // "" when the span lies within the sound
};

// Where every typed range and length meets a sound of `frames` frames at
// `rate`: the command line's operations and cut, and the preview's selection.
// Each end is checked against the sound before any sum is made of it.
namespace EditSpan {

// A to B: frames both included, a time B excluded (it ends the range). A
// problem when an end lies past the sound's last frame, or the range is
// reversed or empty.
FrameSpan Range(const EditTime& a, const EditTime& b, qint32 rate, qint64 frames);
// The first `t` of the sound, 1 to `limit` frames of its `frames`.
FrameSpan Length(const EditTime& t, qint32 rate, qint64 limit, qint64 frames);

// "" when a sound of `frames` frames may be edited or be left by an edit,
// else why not: there is nothing to select in a sound without frames, and
// the game has nothing to play.
QString NoFramesProblem(qint64 frames);

}  // namespace EditSpan
