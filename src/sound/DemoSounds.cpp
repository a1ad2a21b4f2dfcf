#include "DemoSounds.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <vector>

#include "AppError.h"
#include "AtomicFile.h"
#include "Conversion.h"
#include "HeaderIO.h"
#include "NativeName.h"
#include "SoundInfo.h"

namespace DemoSounds {

namespace {

constexpr int kFull = 32767;  // the largest sample value of the synthesis

// sin(2π·phase/2³²)·32767 by Bhaskara's rational approximation over each half
// turn (within 0.2 % of full scale). Integers only: no libm differences.
int Sine(quint32 phase) {
    const qint64 x = (phase >> 16) & 0x7FFF;  // position within the half turn, of 32768
    const qint64 p = x * (32768 - x);
    const int v = static_cast<int>(kFull * 16 * p / (5 * (qint64(1) << 30) - 4 * p));
    return (phase & 0x80000000u) != 0 ? -v : v;
}

// The phase step per sample of a tone of `milliHertz` at `rate` samples per second.
quint32 Step(qint64 milliHertz, qint32 rate) {
    return static_cast<quint32>((milliHertz << 32) / (qint64(rate) * 1000));
}

// A gain of 0..32767 that rises over the first `fade` frames of a stretch of
// `length` frames and falls over its last, so no stretch starts with a click.
int Fade(qint64 i, qint64 length, qint64 fade) {
    const qint64 edge = std::min({i, length - 1 - i, fade});
    return static_cast<int>(std::max<qint64>(edge, 0) * kFull / fade);
}

int Scale(int value, int gain) {
    return static_cast<int>(qint64(value) * gain / kFull);
}

struct Shape {
    qint32 rate;
    qint16 bits;
    qint16 channels;
};

// The samples of one frame: left, right (ignored for mono), each in ±32767.
using Frame = std::pair<int, int>;
using Synth = std::function<Frame(qint64 i, qint64 frames)>;

QByteArray Render(const Shape& shape, qint64 frames, const Synth& synth) {
    QByteArray pcm;
    pcm.reserve(frames * shape.channels * (shape.bits / 8));
    for (qint64 i = 0; i < frames; ++i) {
        const auto [left, right] = synth(i, frames);
        for (int value : {left, right}) {
            value = std::clamp(value, -kFull, kFull);
            if (shape.bits == 8) {
                pcm.append(static_cast<char>(128 + (value >> 8)));  // 8-bit samples are unsigned
            } else {
                pcm.append(static_cast<char>(value & 0xFF));
                pcm.append(static_cast<char>((value >> 8) & 0xFF));
            }
            if (shape.channels == 1) break;
        }
    }
    return pcm;
}

// A low 55 Hz hum with its first harmonics, throbbing seven times a second.
QByteArray Engine(const Shape& s) {
    quint32 phase = 0;
    quint32 throb = 0;
    const quint32 step = Step(55000, s.rate);
    const quint32 throbStep = Step(7000, s.rate);
    return Render(s, 3 * s.rate, [&](qint64 i, qint64 n) {
        const int tone =
            (Sine(phase) * 8 + Sine(phase * 2) * 5 + Sine(phase * 3) * 3 + Sine(phase * 4) * 2) /
            18;
        const int gain = 3 * kFull / 4 + Sine(throb) / 4;
        phase += step;
        throb += throbStep;
        const int v = Scale(Scale(tone, gain), Fade(i, n, s.rate / 20));
        return Frame{v, v};
    });
}

// Two tones of 0.2 s each (988 Hz, then 784 Hz), then 0.1 s of silence, over
// and over.
QByteArray Beep(const Shape& s, qint64 frames) {
    quint32 phase = 0;
    const qint64 tone = s.rate / 5;
    const qint64 period = s.rate / 2;
    return Render(s, frames, [&](qint64 i, qint64) {
        const qint64 at = i % period;
        if (at >= 2 * tone) return Frame{0, 0};
        phase += Step(at < tone ? 988000 : 784000, s.rate);
        const int v = Scale(Sine(phase), Fade(at % tone, tone, s.rate / 200) * 3 / 5);
        return Frame{v, v};
    });
}

// From 200 Hz up to 3200 Hz in a straight line.
QByteArray Sweep(const Shape& s) {
    quint32 phase = 0;
    return Render(s, 3 * s.rate, [&](qint64 i, qint64 n) {
        phase += Step(200000 + 3000000 * i / n, s.rate);
        const int v = Scale(Sine(phase), Fade(i, n, s.rate / 50) * 3 / 5);
        return Frame{v, v};
    });
}

// Half a second of a fading 523 Hz ping on the left, then a 784 Hz one on the
// right, and so on: the two channels never sound together.
QByteArray PingPong(const Shape& s) {
    quint32 phase = 0;
    int gain = 0;
    const qint64 slot = s.rate / 2;
    return Render(s, 3 * s.rate, [&](qint64 i, qint64) {
        const bool left = (i / slot) % 2 == 0;
        if (i % slot == 0) gain = kFull * 7 / 10;
        phase += Step(left ? 523000 : 784000, s.rate);
        gain = static_cast<int>(qint64(gain) * 32760 / 32768);
        const int v = Scale(Scale(Sine(phase), gain), Fade(i % slot, slot, s.rate / 200));
        return left ? Frame{v, 0} : Frame{0, v};
    });
}

// A two-tone siren between 600 and 1200 Hz; the right channel rises while the
// left one falls.
QByteArray Siren(const Shape& s) {
    quint32 left = 0;
    quint32 right = 0;
    quint32 wobble = 0;
    const quint32 wobbleStep = Step(800, s.rate);
    return Render(s, 3 * s.rate, [&](qint64 i, qint64 n) {
        const qint64 swing = 300000LL * Sine(wobble) / kFull;
        wobble += wobbleStep;
        left += Step(900000 - swing, s.rate);
        right += Step(900000 + swing, s.rate);
        const int gain = Fade(i, n, s.rate / 20) / 2;
        return Frame{Scale(Sine(left), gain), Scale(Sine(right), gain)};
    });
}

// A struck C major chord that dies away; E and G lean left and right.
QByteArray Chime(const Shape& s) {
    quint32 c = 0;
    quint32 e = 0;
    quint32 g = 0;
    int gain = kFull;
    return Render(s, s.rate * 5 / 2, [&](qint64 i, qint64 n) {
        c += Step(523251, s.rate);
        e += Step(659255, s.rate);
        g += Step(783991, s.rate);
        gain = static_cast<int>(qint64(gain) * 65530 / 65536);
        const int g2 = Scale(gain, Fade(i, n, s.rate / 100));
        const int left = (Sine(c) * 2 + Sine(e) * 2 + Sine(g)) / 5;
        const int right = (Sine(c) * 2 + Sine(e) + Sine(g) * 2) / 5;
        return Frame{Scale(left, g2 / 2), Scale(right, g2 / 2)};
    });
}

QByteArray GameFile(const Shape& s, qint32 id, const QByteArray& pcm, qint32 claimedLength) {
    SndHeader h;
    h.EightBitFlag = s.bits == 8 ? 2 : 0;
    h.InternalID = id;
    h.DataLength = claimedLength;
    h.SampleRate = s.rate;
    h.BitsPerSample = s.bits;
    h.Channels = s.channels;
    QByteArray file(SndHeaderSize, '\0');
    HeaderIO::EncodeSnd(h, file.data());
    return file + pcm;
}

QByteArray GameFile(const Shape& s, qint32 id, const QByteArray& pcm) {
    return GameFile(s, id, pcm, static_cast<qint32>(pcm.size()));
}

QByteArray WavFile(const Shape& s, const QByteArray& pcm) {
    mUtility::SoundInfoRecord info;
    info.SampleRate = s.rate;
    info.BitsPerSample = s.bits;
    info.Channels = s.channels;
    info.DataLength = static_cast<qint32>(pcm.size());
    mUtility::FillWavImage(info);
    QByteArray file(WavHeaderSize, '\0');
    HeaderIO::EncodeWav(info.WavImage(), file.data());
    return file + pcm;
}

struct Entry {
    const char* name;
    std::function<QByteArray()> make;
};

const std::vector<Entry>& Set() {
    static const std::vector<Entry> set = {
        {"ENGINE.SND",
         [] {
             const Shape s{11025, 8, 1};
             return GameFile(s, 101, Engine(s));
         }},
        {"BEEP.WSD",
         [] {
             const Shape s{22050, 16, 1};
             return GameFile(s, 102, Beep(s, 2 * s.rate));
         }},
        {"SWEEP.SND",
         [] {
             const Shape s{22050, 16, 1};
             return GameFile(s, 103, Sweep(s));
         }},
        {"PINGPONG.WSD",
         [] {
             const Shape s{22050, 16, 2};
             return GameFile(s, 104, PingPong(s));
         }},
        {"SIREN.SND",
         [] {
             const Shape s{11025, 8, 2};
             return GameFile(s, 105, Siren(s));
         }},
        {"CHIME.WAV",
         [] {
             const Shape s{22050, 16, 2};
             return WavFile(s, Chime(s));
         }},
        // The header claims two seconds; a quarter of one is there.
        {"BROKEN.WSD",
         [] {
             const Shape s{22050, 16, 1};
             return GameFile(s, 107, Beep(s, s.rate / 4), 2 * s.rate * 2);
         }},
    };
    return set;
}

}  // namespace

QStringList Names() {
    QStringList names;
    for (const Entry& entry : Set()) names << QString::fromLatin1(entry.name);
    return names;
}

QByteArray File(const QString& name) {
    for (const Entry& entry : Set())
        if (name == QLatin1String(entry.name)) return entry.make();
    return {};
}

namespace {

// Removes what a failed run made, by the names' bytes: its files, then the
// folders it created, deepest first.
void Undo(const QList<QByteArray>& files, const QList<QByteArray>& folders) {
    for (const QByteArray& file : files) ::unlink(file.constData());
    for (auto it = folders.crbegin(); it != folders.crend(); ++it) ::rmdir(it->constData());
}

// Creates `folder` and its missing parents, by the name's bytes, and returns
// those it created, deepest last.
QList<QByteArray> MakeFolders(const QByteArray& folder) {
    QList<QByteArray> missing;
    for (QByteArray at = folder; !at.isEmpty();) {
        struct stat st {};
        if (::stat(at.constData(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                throw AppError::Standard(
                    ErrNo::PathNotFound,
                    QStringLiteral("%1 is not a folder").arg(NativeName::Decode(at)));
            break;
        }
        missing.prepend(at);
        const qsizetype slash = at.lastIndexOf('/', at.size() - 2);
        at = slash <= 0 ? QByteArray() : at.left(slash);
    }
    QList<QByteArray> made;
    for (const QByteArray& path : missing) {
        if (::mkdir(path.constData(), 0777) != 0 && errno != EEXIST) {
            const int err = errno;
            Undo({}, made);
            throw AppError::fromErrno(err, NativeName::Decode(path));
        }
        made << path;
    }
    return made;
}

}  // namespace

void Write(const QString& folder) {
    if (folder.isEmpty())
        throw AppError::Standard(ErrNo::BadFileName, QStringLiteral("an empty folder name"));
    const QList<QByteArray> made = MakeFolders(NativeName::Encode(folder));
    QList<QByteArray> written;
    try {
        for (const QString& name : Names()) {
            const QString path = mUtility::JoinPath(folder, name);
            struct stat st {};
            if (::lstat(NativeName::Encode(path).constData(), &st) == 0)
                throw AppError::Standard(ErrNo::FileAlreadyExists, path);
        }
        // Every file is complete on disk before the first takes its name, so
        // a full disk leaves nothing that would block the next run.
        std::vector<std::unique_ptr<AtomicFile>> files;
        for (const Entry& entry : Set()) {
            const QByteArray bytes = entry.make();
            files.push_back(std::make_unique<AtomicFile>(
                mUtility::JoinPath(folder, QString::fromLatin1(entry.name)), AtomicFile::NoSource));
            files.back()->Write(bytes.constData(), bytes.size());
        }
        for (qsizetype i = 0; i < qsizetype(files.size()); ++i) {
            files[size_t(i)]->Commit();
            written << NativeName::Encode(mUtility::JoinPath(folder, Names()[i]));
        }
    } catch (...) {
        Undo(written, made);
        throw;
    }
}

}  // namespace DemoSounds
