#include "EditCommand.h"

#include <cmath>
#include <vector>

#include "Console.h"
#include "EditFile.h"
#include "EditOperations.h"
#include "EditTime.h"

namespace EditCommand {

const char kUsage[] =
    "  zsnd edit SOURCE DEST OPERATION...\n"
    "      Applies the operations in order to SOURCE's samples and writes DEST\n"
    "      (which may be SOURCE) with SOURCE's header values and the new data\n"
    "      length; DEST's type follows its name (.snd, .wsd, .wav), else it is\n"
    "      SOURCE's. Operations:\n"
    "        gain=DB         changes the level by DB decibels (-6.0206 halves it)\n"
    "        normalize=DBFS  scales the sound so its peak is DBFS (0 or below)\n"
    "        fade-in=T       fades the first T in from silence\n"
    "        fade-out=T      fades the last T out to silence\n"
    "        crop=A:B        keeps only A to B\n"
    "        delete=A:B      removes A to B\n"
    "        silence=A:B     makes A to B silent\n"
    "        dc              removes the DC offset (each channel's mean)\n"
    "        loop=T          crossfades the last T into the start, so the sound\n"
    "                        loops without a click; the result is T shorter\n"
    "      T, A and B are frames (whole numbers; A:B includes both, counted from\n"
    "      0) or a number with ms or s (a time B ends the range, not included).\n"
    "      Results are rounded and clipped, never wrapped; clipped samples are\n"
    "      counted. A malformed operation, a range outside the sound or reversed,\n"
    "      or a fade longer than the sound is a usage error; nothing is written.\n";

namespace {

struct Operation {
    QString name;
    QString text;  // the operation as given, for messages
    double number = 0;
    EditTime a, b;
};

EditTime ParseTime(const QString& text, const QString& op) {
    const std::optional<EditTime> t = EditTime::Parse(text);
    if (!t)
        throw UsageError(QStringLiteral("%1: \"%2\" is not a time (frames, or a number with ms "
                                        "or s)")
                             .arg(op, text));
    return *t;
}

double ParseNumber(const QString& text, const QString& op) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || text.trimmed() != text)
        throw UsageError(QStringLiteral("%1: \"%2\" is not a number").arg(op, text));
    return value;
}

Operation Parse(const QString& text) {
    Operation op;
    op.text = text;
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    op.name = text.left(eq);
    const QString value = eq < 0 ? QString() : text.mid(eq + 1);
    const QStringList timed{"fade-in", "fade-out", "loop"};
    const QStringList ranged{"crop", "delete", "silence"};
    if (op.name == QLatin1String("dc") && eq < 0) return op;
    if (eq < 0 || op.name == QLatin1String("dc"))
        throw UsageError(QStringLiteral("unknown operation \"%1\"").arg(text));
    if (op.name == QLatin1String("gain") || op.name == QLatin1String("normalize")) {
        op.number = ParseNumber(value, text);
        if (op.name == QLatin1String("normalize") && op.number > 0)
            throw UsageError(QStringLiteral("%1: the peak must be 0 dBFS or below").arg(text));
    } else if (timed.contains(op.name)) {
        op.a = ParseTime(value, text);
    } else if (ranged.contains(op.name)) {
        const QStringList ends = value.split(QLatin1Char(':'));
        if (ends.size() != 2) throw UsageError(QStringLiteral("%1: give a range as A:B").arg(text));
        op.a = ParseTime(ends[0], text);
        op.b = ParseTime(ends[1], text);
    } else {
        throw UsageError(QStringLiteral("unknown operation \"%1\"").arg(text));
    }
    return op;
}

// The frames [first, first + count) that `op`'s range names in `sound`.
void RangeOf(const Operation& op, const EditedSound& sound, qint32 rate, qint64& first,
             qint64& count) {
    first = op.a.Frames(rate);
    const qint64 last = op.b.Frames(rate) - (op.b.IsFrames() ? 0 : 1);
    if (last < first)
        throw UsageError(QStringLiteral("%1: the range ends before it begins").arg(op.text));
    if (last >= sound.Frames())
        throw UsageError(QStringLiteral("%1: the sound has frames 0 to %2")
                             .arg(op.text)
                             .arg(sound.Frames() - 1));
    count = last - first + 1;
}

qint64 LengthOf(const Operation& op, const EditedSound& sound, qint32 rate, qint64 limit) {
    const qint64 frames = op.a.Frames(rate);
    if (frames <= 0)
        throw UsageError(QStringLiteral("%1: the time must be more than 0").arg(op.text));
    if (frames > limit)
        throw UsageError(QStringLiteral("%1: %2 frames is longer than the sound allows (%3 of %4)")
                             .arg(op.text)
                             .arg(frames)
                             .arg(limit)
                             .arg(sound.Frames()));
    return frames;
}

EditOperations::Result Apply(const Operation& op, const EditedSound& s, qint32 rate) {
    using namespace EditOperations;
    const qint64 all = s.Frames();
    if (op.name == QLatin1String("gain")) return Gain(s, 0, all, op.number);
    if (op.name == QLatin1String("normalize")) return Normalize(s, 0, all, op.number);
    if (op.name == QLatin1String("dc")) return all > 0 ? RemoveDC(s, 0, all) : Result{s, 0};
    if (op.name == QLatin1String("fade-in")) return FadeIn(s, 0, LengthOf(op, s, rate, all));
    if (op.name == QLatin1String("fade-out")) {
        const qint64 n = LengthOf(op, s, rate, all);
        return FadeOut(s, all - n, n);
    }
    if (op.name == QLatin1String("loop"))
        return MakeSeamlessLoop(s, LengthOf(op, s, rate, all / 2));
    qint64 first = 0, count = 0;
    RangeOf(op, s, rate, first, count);
    if (op.name == QLatin1String("crop")) return Crop(s, first, count);
    if (op.name == QLatin1String("delete")) return Delete(s, first, count);
    return Silence(s, first, count);
}

}  // namespace

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {}, {});
    if (line.Operands().size() < 3)
        throw UsageError(QStringLiteral("edit needs SOURCE, DEST and at least one operation"));
    const QString source = line.Operands()[0];
    const QString dest = line.Operands()[1];
    std::vector<Operation> ops;
    for (const QString& text : line.Operands().mid(2)) ops.push_back(Parse(text));

    const EditFile file(source);
    if (!file.Refusal().isEmpty()) {
        Console::Err(source + QStringLiteral(": ") + file.Refusal() + QLatin1Char('\n'));
        return ExitCode::Refused;
    }
    EditedSound sound = file.Sound();
    qint64 clipped = 0;
    for (const Operation& op : ops) {
        EditOperations::Result r = Apply(op, sound, file.Info().SampleRate);
        sound = std::move(r.sound);
        clipped += r.clipped;
    }
    file.Save(sound, dest);
    Console::Out(QStringLiteral("%1 created successfully! (%2 frames, %3 samples clipped)\n")
                     .arg(dest)
                     .arg(sound.Frames())
                     .arg(clipped));
    return ExitCode::Ok;
}

}  // namespace EditCommand
