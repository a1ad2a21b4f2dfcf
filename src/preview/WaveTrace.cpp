#include "WaveTrace.h"

#include <unistd.h>

#include <QFile>
#include <QtEndian>
#include <cerrno>
#include <cmath>

#include "AppError.h"
#include "PreviewMath.h"

namespace {

class FrameReader {
public:
    FrameReader(const QString& path, const WaveTrace::Shape& s)
        : file_(path), shape_(s), frameBytes_(s.bits / 8 * (s.channels == 2 ? 2 : 1)) {
        if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw AppError::fromErrno(errno ? errno : ENOENT, path);
    }

    // y of each channel of frame n; a frame past the end of the file reads as silence.
    // One pread a column: a seek and a read each would double the system calls.
    std::array<double, 2> y(qint64 n, double mid) {
        std::array<char, 4> raw{};
        const qint64 at = shape_.rawDataOffset - 1 + n * frameBytes_;
        if (at < 0) throw AppError(62, QStringLiteral("Input past end of file"));
        if (::pread(file_.handle(), raw.data(), size_t(frameBytes_), off_t(at)) != frameBytes_)
            silence(raw);
        std::array<double, 2> out{};
        for (int c = 0; c < 2; ++c) out[c] = value(raw.data() + c * shape_.bits / 8, mid);
        return out;
    }

private:
    void silence(std::array<char, 4>& raw) const {
        const char quiet = shape_.bits == 8 ? char(0x80) : 0;
        raw.fill(quiet);
    }

    double value(const char* p, double mid) const {
        if (shape_.bits == 16)
            return PreviewMath::SampleY16(mid, qFromLittleEndian<qint16>(p), shape_.channels);
        return PreviewMath::SampleY8(mid, static_cast<quint8>(*p), shape_.channels);
    }

    QFile file_;
    WaveTrace::Shape shape_;
    int frameBytes_;
};

}  // namespace

std::array<QPolygonF, 2> WaveTrace::Read(const QString& path, const Shape& s) {
    std::array<QPolygonF, 2> lines;
    const qint32 n = s.numberOfSamples;
    if (n <= 0 || s.width <= 0) return lines;
    FrameReader reader(path, s);
    const double mid = s.height / 2;
    const int channels = s.channels == 2 ? 2 : 1;
    auto add = [&](double x, qint64 frame) {
        const auto y = reader.y(frame, mid);
        for (int c = 0; c < channels; ++c) lines[c] << QPointF(x, y[c]);
    };
    add(0, 0);
    if (s.width >= n) {
        const double k = s.width / n;
        for (qint32 i = 1; i < n; ++i) add(std::floor(i * k), i);
    } else {
        const double step = n / s.width;
        for (int i = 1; i <= 9999 && i < s.width; ++i) add(i, static_cast<qint64>(i * step));
    }
    return lines;
}
