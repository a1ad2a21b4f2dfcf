// Writes a small seed corpus for every fuzz target into FOLDER/<target>/:
// real files of each kind the target reads (game files, WAVs with and without
// extra chunks, and short sounds in the formats import decodes), each behind
// the selector bytes the target expects, and typical texts for the text
// parsers. Usage: make_seeds FOLDER

#include <sndfile.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Conversion.h"
#include "HeaderIO.h"
#include "SoundHeaders.h"
#include "SoundInfo.h"

namespace {

QString root;
int failures = 0;

void Seed(const char* target, const QString& name, const QByteArray& bytes) {
    const QString folder = root + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) ++failures;
}

// 16-bit samples of a short tone, or 8-bit unsigned ones.
QByteArray Samples(int frames, int channels, int bits) {
    QByteArray out;
    for (int i = 0; i < frames * channels; ++i) {
        const double v = std::sin(i * 0.3) * 0.5;
        if (bits == 8) {
            out += char(128 + int(v * 127));
        } else {
            const qint16 s = qToLittleEndian(qint16(v * 32767));
            out.append(reinterpret_cast<const char*>(&s), 2);
        }
    }
    return out;
}

mUtility::SoundInfoRecord Record(int rate, int bits, int channels, qint32 length) {
    mUtility::SoundInfoRecord r;
    r.EightBitFlag = bits == 8 ? 2 : 0;
    r.InternalID = 42;
    r.DataLength = length;
    r.SampleRate = rate;
    r.BitsPerSample = qint16(bits);
    r.Channels = qint16(channels);
    return r;
}

QByteArray GameFile(int rate, int bits, int channels, int frames) {
    const QByteArray samples = Samples(frames, channels, bits);
    char header[SndHeaderSize];
    HeaderIO::EncodeSnd(Record(rate, bits, channels, qint32(samples.size())).SndImage(), header);
    return QByteArray(header, SndHeaderSize) + samples;
}

QByteArray CanonicalWav(int rate, int bits, int channels, int frames) {
    const QByteArray samples = Samples(frames, channels, bits);
    mUtility::SoundInfoRecord r = Record(rate, bits, channels, qint32(samples.size()));
    mUtility::FillWavImage(r);
    char header[WavHeaderSize];
    HeaderIO::EncodeWav(r.WavImage(), header);
    return QByteArray(header, WavHeaderSize) + samples;
}

QByteArray Chunk(const char* id, const QByteArray& body) {
    const quint32 size = qToLittleEndian(quint32(body.size()));
    QByteArray out = QByteArray(id, 4) + QByteArray(reinterpret_cast<const char*>(&size), 4) + body;
    if (body.size() % 2) out += '\0';
    return out;
}

// A WAV whose data chunk comes after a LIST chunk of odd length: the samples
// start past the 44th byte.
QByteArray WavWithList(int rate, int bits, int channels, int frames) {
    const QByteArray canonical = CanonicalWav(rate, bits, channels, frames);
    const QByteArray fmt = canonical.mid(12, 24);
    const QByteArray data = canonical.mid(36);
    QByteArray body = QByteArray("WAVE") + fmt + Chunk("LIST", "INFOISFT\5\0\0\0zsnd\0") + data;
    const quint32 size = qToLittleEndian(quint32(body.size()));
    return QByteArray("RIFF") + QByteArray(reinterpret_cast<const char*>(&size), 4) + body;
}

// A short sound in `format` written by libsndfile into memory.
struct Memory {
    QByteArray bytes;
    sf_count_t at = 0;
};

QByteArray Encoded(int format, int rate, int channels, int frames) {
    SF_VIRTUAL_IO io{};
    io.get_filelen = [](void* m) -> sf_count_t { return static_cast<Memory*>(m)->bytes.size(); };
    io.seek = [](sf_count_t offset, int whence, void* m) -> sf_count_t {
        auto* mem = static_cast<Memory*>(m);
        const sf_count_t base = whence == SEEK_SET   ? 0
                                : whence == SEEK_CUR ? mem->at
                                                     : mem->bytes.size();
        return mem->at = base + offset;
    };
    io.read = [](void* ptr, sf_count_t count, void* m) -> sf_count_t {
        auto* mem = static_cast<Memory*>(m);
        const sf_count_t n =
            std::max<sf_count_t>(0, std::min<sf_count_t>(count, mem->bytes.size() - mem->at));
        std::memcpy(ptr, mem->bytes.constData() + mem->at, size_t(n));
        mem->at += n;
        return n;
    };
    io.write = [](const void* ptr, sf_count_t count, void* m) -> sf_count_t {
        auto* mem = static_cast<Memory*>(m);
        if (mem->bytes.size() < mem->at + count) mem->bytes.resize(mem->at + count);
        std::memcpy(mem->bytes.data() + mem->at, ptr, size_t(count));
        mem->at += count;
        return count;
    };
    io.tell = [](void* m) -> sf_count_t { return static_cast<Memory*>(m)->at; };
    Memory mem;
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &mem);
    if (!sf) {
        std::fprintf(stderr, "make_seeds: format 0x%x: %s\n", format, sf_strerror(nullptr));
        ++failures;
        return {};
    }
    std::vector<float> samples(size_t(frames * channels));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(std::sin(double(i) * 0.05) * 0.6);
    sf_writef_float(sf, samples.data(), frames);
    sf_close(sf);
    return mem.bytes;
}

void SoundSeeds() {
    const struct {
        const char* name;
        int type;  // 0 SND, 1 WSD, 2 WAV
        QByteArray bytes;
    } files[] = {
        {"snd-16-stereo", 0, GameFile(22050, 16, 2, 24)},
        {"snd-8-mono", 0, GameFile(11025, 8, 1, 40)},
        {"wsd-16-mono", 1, GameFile(44100, 16, 1, 32)},
        {"wav-16-stereo", 2, CanonicalWav(22050, 16, 2, 24)},
        {"wav-8-mono", 2, CanonicalWav(8000, 8, 1, 40)},
        {"wav-list-chunk", 2, WavWithList(11025, 16, 1, 20)},
        {"wav-extensible", 2, Encoded(SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 8000, 2, 16)},
    };
    for (const auto& f : files) {
        const QString name = QLatin1String(f.name);
        const QByteArray& b = f.bytes;
        Seed("fuzz_inspect", name, char(f.type) + b);
        Seed("fuzz_unchecked_header", name, char(f.type) + b);
        // The cut: the selector (source type; destination SND, WSD, WAV or in
        // place), then frames 2 to 9.
        for (int dest = 0; dest < 4; ++dest)
            Seed("fuzz_cut", name + QString::number(dest),
                 char(f.type | dest << 2) + QByteArray("\0\2\0\x9", 4) + b);
    }
}

void ImportSeeds() {
    const struct {
        const char* name;
        int format;
        int channels;
    } formats[] = {
        {"wav-24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2},
        {"wav-float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1},
        {"wavex-5ch", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 5},
        {"aiff-16", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2},
        {"au-ulaw", SF_FORMAT_AU | SF_FORMAT_ULAW, 1},
        {"rf64-16", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 1},
        {"flac-16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2},
        {"ogg-vorbis", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 1},
        {"ogg-opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 2},
        {"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 1},
    };
    // Target selectors: SND at 22050 Hz 16-bit mono, and WAV at 8000 Hz
    // 8-bit stereo (a change of rate, depth and channels).
    const QByteArray targets[] = {QByteArray("\0\4\0", 3), QByteArray("\2\1\3", 3)};
    for (const auto& f : formats) {
        const QByteArray bytes = Encoded(f.format, 8000, f.channels, 400);
        for (int t = 0; t < 2; ++t)
            Seed("fuzz_import", QLatin1String(f.name) + QLatin1String(t ? "-as-wav" : "-as-snd"),
                 targets[t] + bytes);
    }
    Seed("fuzz_import", QStringLiteral("game-file"), targets[0] + GameFile(22050, 16, 2, 24));
}

void TextSeeds() {
    const QList<QByteArray> names = {
        "sounds/BOOM.SND",           "=HYPERLINK(\"x\")&.snd",
        "two\nlines,\"quoted\".wav", "caf\xc3\xa9 \xe2\x80\xa8 \x1b[31mred.snd",
        "bad\xff\xfe.wav",           "\xc2\x85\x7f\x07.snd"};
    const QByteArray refusal = "This file does not appear to be a valid SND file. Sample Rate: 5";
    for (int i = 0; i < names.size(); ++i) {
        Seed("fuzz_terminal", QString::number(i), names[i]);
        Seed("fuzz_csv", QString::number(i), char(i * 5) + names[i] + '\0' + refusal);
    }
    const QList<QByteArray> commands = {"open \"boom.wav\" type waveaudio alias snd wait",
                                        "play snd from 0 to 1500",
                                        "seek snd to end",
                                        "status snd position",
                                        "pause snd",
                                        "close all"};
    for (int i = 0; i < commands.size(); ++i)
        Seed("fuzz_mediacommands", QString::number(i), commands[i]);
    Seed("fuzz_propertybag", QStringLiteral("button"),
         "# a comment\nint BackStyle=2\nint Gradient=3\ncolor cBack=0x00F7EEE8\n"
         "string Caption=Convert\nbool Enabled=True\n");
    // Field type, flags, decimal and prompt characters, then texts of
    // length-prefixed characters, the mask last; then a few edits.
    Seed("fuzz_maskengine", QStringLiteral("date"),
         QByteArray("\2\x08._\0\0\1\0\1\0\x14\x40\x0a##/##/####\0\x31\0\x32\x08\x05", 29));
    Seed("fuzz_maskengine", QStringLiteral("number"),
         QByteArray("\1\x04,_\0\0\0\0\0\0\x14\x20\x07###,###\0\x34\1\x35\3\x00", 26));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    root = QString::fromLocal8Bit(argv[1]);
    SoundSeeds();
    ImportSeeds();
    TextSeeds();
    return failures == 0 ? 0 : 1;
}
