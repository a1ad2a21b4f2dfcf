#pragma once

#include <QString>
#include <optional>

// Result codes of a media command; 0 is success.
enum class MediaError : int {
    None = 0,
    UnrecognizedCommand = 1,
    MissingDevice = 2,
    UnknownDevice = 3,
    UnrecognizedKeyword = 4,
    MissingParameter = 5,
    BadInteger = 6,
    UnterminatedQuote = 7,
    DuplicateAlias = 8,
    CannotOpenFile = 9,
    UnsupportedType = 10,
    OutOfRange = 11,
};

// The text shown for a result code.
QString MediaErrorText(MediaError error);

enum class MediaVerb { Open, Close, Play, Pause, Resume, Stop, Seek, Status };
enum class StatusItem { Mode, Position, Length };
enum class SeekTarget { Position, Start, End };

// One parsed command string.
struct MediaCommand {
    MediaVerb verb = MediaVerb::Status;
    QString device;  // alias, file name (open), or "all" (close)
    QString alias;   // open: the ALIAS given, empty when none
    QString type;    // open: the TYPE given, empty when none
    bool wait = false;
    std::optional<qint64> from;  // play, milliseconds
    std::optional<qint64> to;    // play, milliseconds
    bool repeat = false;         // play: the range again and again, without a gap
    SeekTarget seekTarget = SeekTarget::Position;
    qint64 seekTo = 0;  // milliseconds
    StatusItem item = StatusItem::Mode;
};

struct ParsedMediaCommand {
    MediaError error = MediaError::None;
    MediaCommand command;
};

// Parses a command string:
//   open <file> [alias <name>] [type <type>] [wait]
//   play <device> [from <ms>] [to <ms>] [repeat] [wait]
//   pause|resume|stop <device> [wait]
//   seek <device> to <ms>|start|end [wait]
//   status <device> mode|position|length [wait]
//   close <device>|all [wait]
// Keywords are matched without regard to case; a file name with blanks is
// enclosed in double quotes. Never throws; any input gives a result.
ParsedMediaCommand ParseMediaCommand(const QString& text);
