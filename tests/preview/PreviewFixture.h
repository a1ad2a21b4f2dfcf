#pragma once

#include <QFile>
#include <QString>
#include <QtEndian>

#include "SoundInfo.h"

// Writes a game sound file (28-byte header, then `frames` frames of a ramp)
// and describes it in SoundInfo as the main window would after inspecting it.
inline bool MakeSndSource(const QString& path, int rate, int bits, int channels, qint64 frames) {
    const qint32 length = qint32(frames * bits / 8 * channels);
    QByteArray bytes(28, '\0');
    const qint32 fields[] = {bits == 8 ? 1 : 0, 7, length, rate, bits, channels, 0};
    for (int i = 0; i < 7; ++i) qToLittleEndian<qint32>(fields[i], bytes.data() + 4 * i);
    QByteArray body(length, '\0');
    for (qint32 i = 0; i < length; ++i) body[i] = char((i * 7) & 0xff);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes + body) != 28 + length) return false;
    auto& si = mUtility::SoundInfo;
    si = mUtility::SoundInfoRecord();
    si.DataLength = length;
    si.SampleRate = rate;
    si.BitsPerSample = qint16(bits);
    si.Channels = qint16(channels);
    si.Extension = QStringLiteral("SND");
    si.FileName = QStringLiteral("TEST.SND");
    return true;
}

// Puts `samples` in place of the first samples of the game file at `path`.
inline bool WriteSamples(const QString& path, const QByteArray& samples) {
    if (samples.isEmpty()) return true;
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.seek(28) && f.write(samples) == samples.size();
}
