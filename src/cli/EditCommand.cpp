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
    "        gain=DB         changes the level by DB decibels, -96 to 96\n"
    "                        (-6.0206 halves it)\n"
    "        normalize=DBFS  scales the sound so its peak is DBFS, -96 to 0\n"
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
    "      counted. A malformed operation, a number out of its range, a range\n"
    "      outside the sound or reversed, a fade longer than the sound, a SOURCE\n"
    "      of no frames or a delete of every frame is a usage error; nothing is\n"
    "      written.\n";

namespace {

// Steps on a frame, and pieces of the sound, before it is flattened.
constexpr size_t kMaxDepth = 4;
constexpr size_t kMaxSegments = 64;

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

double ParseNumber(const QString& text, const QString& op, double min, double max) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || text.trimmed() != text)
        throw UsageError(QStringLiteral("%1: \"%2\" is not a number").arg(op, text));
    if (value < min || value > max)
        throw UsageError(QStringLiteral("%1: give %2 to %3").arg(op).arg(min).arg(max));
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
    if (op.name == QLatin1String("gain")) {
        op.number =
            ParseNumber(value, text, -EditOperations::kMaxGainDB, EditOperations::kMaxGainDB);
    } else if (op.name == QLatin1String("normalize")) {
        op.number = ParseNumber(value, text, EditOperations::kMinPeakDBFS, 0);
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

// The span `op`'s numbers name in `sound`, or a usage error saying why none.
FrameSpan Checked(const Operation& op, FrameSpan span) {
    if (!span.problem.isEmpty()) throw UsageError(op.text + QStringLiteral(": ") + span.problem);
    return span;
}

EditOperations::Result Apply(const Operation& op, const EditedSound& s, qint32 rate) {
    using namespace EditOperations;
    const qint64 all = s.Frames();
    if (op.name == QLatin1String("gain")) return Gain(s, 0, all, op.number);
    if (op.name == QLatin1String("normalize")) return Normalize(s, 0, all, op.number);
    if (op.name == QLatin1String("dc")) return RemoveDC(s, 0, all);
    if (op.name == QLatin1String("fade-in"))
        return FadeIn(s, 0, Checked(op, EditSpan::Length(op.a, rate, all, all)).count);
    if (op.name == QLatin1String("fade-out")) {
        const qint64 n = Checked(op, EditSpan::Length(op.a, rate, all, all)).count;
        return FadeOut(s, all - n, n);
    }
    if (op.name == QLatin1String("loop"))
        return MakeSeamlessLoop(s, Checked(op, EditSpan::Length(op.a, rate, all / 2, all)).count);
    const FrameSpan range = Checked(op, EditSpan::Range(op.a, op.b, rate, all));
    if (op.name == QLatin1String("crop")) return Crop(s, range.first, range.count);
    if (op.name == QLatin1String("silence")) return Silence(s, range.first, range.count);
    if (range.count == all)
        throw UsageError(op.text + QStringLiteral(" would delete every frame; ") +
                         EditSpan::NoFramesProblem(0));
    return Delete(s, range.first, range.count);
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

    EditFile file(source);
    if (file.HasNoFrames()) throw UsageError(file.Refusal());
    if (!file.Refusal().isEmpty()) {
        Console::Err(source + QStringLiteral(": ") + file.Refusal() + QLatin1Char('\n'));
        return ExitCode::Refused;
    }
    EditedSound sound = file.TakeSound();
    qint64 clipped = 0;
    for (const Operation& op : ops) {
        EditOperations::Result r = Apply(op, sound, file.Info().SampleRate);
        sound = std::move(r.sound);
        clipped += r.clipped;
        // Each operation reads the sound through every step before it: past a
        // few, the values are made a block of their own (nothing is kept for
        // undo here), so that every operation of a long chain costs the same.
        if (sound.Depth() > kMaxDepth || sound.Segments().size() > kMaxSegments)
            sound = sound.Flattened();
    }
    file.Save(sound, dest);
    Console::Out(QStringLiteral("%1 created successfully! (%2 frames, %3 samples clipped)\n")
                     .arg(dest)
                     .arg(sound.Frames())
                     .arg(clipped));
    return ExitCode::Ok;
}

}  // namespace EditCommand
