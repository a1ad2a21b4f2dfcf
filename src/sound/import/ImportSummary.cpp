#include "ImportSummary.h"

#include <QLocale>
#include <QStringList>

namespace {

QString ChannelWord(int channels) {
    if (channels == 1) return QStringLiteral("mono");
    if (channels == 2) return QStringLiteral("stereo");
    return QStringLiteral("%1 channels").arg(channels);
}

QString Change(const QString& from, const QString& to, const QString& unit = {}) {
    return (from == to ? to : from + QStringLiteral(" \u2192 ") + to) + unit;
}

}  // namespace

QString ImportSummary(const SourceFacts& source, const ImportTarget& target, double seconds) {
    // A float or compressed source has no integer depth: its encoding stands for it.
    const QString depth = source.Bits > 0 ? QString::number(source.Bits) : source.Encoding;
    QStringList parts{
        target.Type,
        Change(QString::number(source.Rate), QString::number(target.Rate), QStringLiteral(" Hz")),
        Change(ChannelWord(source.Channels), ChannelWord(target.Channels)),
        Change(depth, QString::number(target.Bits), QStringLiteral(" bit")),
    };
    parts << (seconds >= 0 ? QLocale().toString(seconds, 'f', 2) + QStringLiteral(" s")
                           : QStringLiteral("length unknown"));
    return parts.join(QStringLiteral(", "));
}
