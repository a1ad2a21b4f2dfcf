#include "EditTime.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {

constexpr double kTooLarge = std::numeric_limits<double>::infinity();

// [0-9], not \d: other scripts' digits are not numbers here.
const char kDecimal[] = "([0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)";

// The value of a decimal the patterns matched; only too many digits can fail.
double DecimalValue(const QString& digits) {
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok && std::isfinite(value) ? value : kTooLarge;
}

}  // namespace

std::optional<EditTime> EditTime::Parse(const QString& text) {
    static const QRegularExpression kTime(QStringLiteral("^(?:([0-9]+)|%1(ms|s))$").arg(kDecimal));
    const auto m = kTime.match(text);
    if (!m.hasMatch()) return std::nullopt;
    EditTime t;
    t.text = text;
    if (m.hasCaptured(1)) {
        bool ok = false;
        const qint64 frame = m.captured(1).toLongLong(&ok);
        t.value = ok ? double(frame) : kTooLarge;
    } else {
        t.value = DecimalValue(m.captured(2));
        t.unitSeconds = m.captured(3) == QLatin1String("ms") ? 0.001 : 1.0;
    }
    return t;
}

std::optional<EditTime> EditTime::ParseSeconds(const QString& text) {
    static const QRegularExpression kSeconds(QStringLiteral("^%1$").arg(kDecimal));
    if (!kSeconds.match(text).hasMatch()) return std::nullopt;
    return EditTime{text + QLatin1Char('s'), DecimalValue(text), 1.0};
}

EditTime EditTime::Frame(qint64 frame) {
    return EditTime{QString::number(frame), double(frame), 0};
}

std::optional<qint64> EditTime::FrameUpTo(qint32 rate, qint64 limit) const {
    // An infinite or enormous value stays a double here; a rate of 0 makes NaN.
    const double frame = IsFrames() ? value : std::round(value * unitSeconds * rate);
    if (!(frame >= 0 && frame <= double(limit))) return std::nullopt;
    return qint64(frame);
}

namespace EditSpan {

FrameSpan Range(const EditTime& a, const EditTime& b, qint32 rate, qint64 frames) {
    const QString noFrames = NoFramesProblem(frames);
    if (!noFrames.isEmpty()) return {0, 0, noFrames};
    const qint64 lastFrame = frames - 1;
    auto past = [&](const EditTime& t) {
        return FrameSpan{0, 0,
                         QStringLiteral("%1 is past the end: the sound has frames 0 to %2")
                             .arg(t.text)
                             .arg(lastFrame)};
    };
    const std::optional<qint64> first = a.FrameUpTo(rate, lastFrame);
    if (!first) return past(a);
    // A time B is where the range stops: at most the frame after the last.
    const std::optional<qint64> end = b.FrameUpTo(rate, b.IsFrames() ? lastFrame : frames);
    if (!end) return past(b);
    const qint64 last = b.IsFrames() ? *end : *end - 1;
    if (last < *first)
        return {0, 0,
                QString::fromLatin1(!b.IsFrames() && last + 1 == *first
                                        ? "the range %1 to %2 holds no frames"
                                        : "the range %1 to %2 ends before it begins")
                    .arg(a.text, b.text)};
    return {*first, last - *first + 1, {}};
}

FrameSpan Length(const EditTime& t, qint32 rate, qint64 limit, qint64 frames) {
    const std::optional<qint64> count = t.FrameUpTo(rate, limit);
    if (!count)
        return {0, 0,
                QStringLiteral("%1 is longer than the sound allows: at most %2 of its %3 frames")
                    .arg(t.text)
                    .arg(limit)
                    .arg(frames)};
    if (*count == 0) return {0, 0, QStringLiteral("%1 is no frames: it must be more").arg(t.text)};
    return {0, *count, {}};
}

QString NoFramesProblem(qint64 frames) {
    return frames > 0 ? QString()
                      : QStringLiteral("an edit needs at least one frame, before and after");
}

}  // namespace EditSpan
