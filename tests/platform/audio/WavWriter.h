#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

// Writes a canonical PCM WAV file of `frames` frames of a rising ramp.
inline bool WriteTestWav(const QString& path, int rate, int channels, int bits, qint64 frames) {
    const qint64 data = frames * channels * bits / 8;
    QByteArray h(44, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian<quint32>(v, h.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, h.data() + at); };
    h.replace(0, 4, "RIFF");
    put32(4, quint32(36 + data));
    h.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);
    put16(22, quint16(channels));
    put32(24, quint32(rate));
    put32(28, quint32(rate * channels * bits / 8));
    put16(32, quint16(channels * bits / 8));
    put16(34, quint16(bits));
    h.replace(36, 4, "data");
    put32(40, quint32(data));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(h);
    QByteArray body(data, '\0');
    for (qint64 i = 0; i < data; ++i) body[i] = char(i & 0x7f);
    return f.write(body) == data;
}
