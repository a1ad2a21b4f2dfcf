#include "EditTime.h"

#include <QRegularExpression>
#include <cmath>

std::optional<EditTime> EditTime::Parse(const QString& text) {
    static const QRegularExpression kTime(
        QStringLiteral("^(?:(\\d+)|(\\d+(?:\\.\\d*)?|\\.\\d+)(ms|s))$"));
    const auto m = kTime.match(text);
    if (!m.hasMatch()) return std::nullopt;
    bool ok = false;
    EditTime t;
    if (m.hasCaptured(1)) {
        t.value = double(m.captured(1).toLongLong(&ok));
    } else {
        t.value = m.captured(2).toDouble(&ok);
        t.unitSeconds = m.captured(3) == QLatin1String("ms") ? 0.001 : 1.0;
    }
    if (!ok || !std::isfinite(t.value) || t.value > 1e15) return std::nullopt;
    return t;
}

qint64 EditTime::Frames(qint32 rate) const {
    return IsFrames() ? qint64(value) : std::llround(value * unitSeconds * rate);
}
