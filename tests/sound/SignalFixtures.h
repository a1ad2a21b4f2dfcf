#pragma once

// Audio files of any format libsndfile writes, generated sample by sample in
// the tests (the import's sources).

#include <sndfile.h>

#include <QFile>
#include <QString>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace Fixtures {

constexpr double kPi = 3.14159265358979323846;

// Sample (frame, channel), full scale ±1; beyond it a float file overshoots.
using Wave = std::function<double(qint64, int)>;

inline Wave Sine(double amplitude, double hz, int rate) {
    return [=](qint64 f, int) { return amplitude * std::sin(2 * kPi * hz * double(f) / rate); };
}

// Writes `frames` frames of `wave` in `format` (SF_FORMAT_*); false on failure.
inline bool WriteSignal(const QString& path, int format, int rate, int channels, qint64 frames,
                        const Wave& wave) {
    SF_INFO sf{};
    sf.samplerate = rate;
    sf.channels = channels;
    sf.format = format;
    SNDFILE* out = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &sf);
    if (!out) return false;
    sf_command(out, SFC_SET_CLIPPING, nullptr, SF_FALSE);
    std::vector<double> block(4096 * channels);
    bool ok = true;
    for (qint64 done = 0; ok && done < frames;) {
        const qint64 n = std::min<qint64>(4096, frames - done);
        for (qint64 f = 0; f < n; ++f)
            for (int c = 0; c < channels; ++c) block[f * channels + c] = wave(done + f, c);
        ok = sf_writef_double(out, block.data(), n) == n;
        done += n;
    }
    return sf_close(out) == 0 && ok;
}

}  // namespace Fixtures
