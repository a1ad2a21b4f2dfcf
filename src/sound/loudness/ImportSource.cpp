#include "ImportSource.h"

#include <sndfile.h>

#include <algorithm>

#include "AppError.h"

namespace {

QString FormatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format & SF_FORMAT_TYPEMASK;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name)
        return QStringLiteral("audio");
    // "OGG (OGG Container format)", "MPEG-1/2 Audio": the leading word.
    return QString::fromLatin1(info.name)
        .section(QLatin1Char(' '), 0, 0)
        .section(QLatin1Char('-'), 0, 0);
}

int IntegerBits(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
            return 8;
        case SF_FORMAT_PCM_16:
            return 16;
        case SF_FORMAT_PCM_24:
            return 24;
        case SF_FORMAT_PCM_32:
            return 32;
        default:
            return 0;
    }
}

QString EncodingName(int format, int bits) {
    if (bits > 0) return QStringLiteral("%1-bit").arg(bits);
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_FLOAT:
            return QStringLiteral("32-bit float");
        case SF_FORMAT_DOUBLE:
            return QStringLiteral("64-bit float");
        case SF_FORMAT_VORBIS:
            return QStringLiteral("Vorbis");
        case SF_FORMAT_OPUS:
            return QStringLiteral("Opus");
        case SF_FORMAT_MPEG_LAYER_I:
            return QStringLiteral("Layer I");
        case SF_FORMAT_MPEG_LAYER_II:
            return QStringLiteral("Layer II");
        case SF_FORMAT_MPEG_LAYER_III:
            return QStringLiteral("Layer III (MP3)");
        case SF_FORMAT_ULAW:
            return QStringLiteral("mu-law");
        case SF_FORMAT_ALAW:
            return QStringLiteral("A-law");
        default:
            return QStringLiteral("compressed");
    }
}

}  // namespace

ImportSource::ImportSource(const QString& path) : file_(path) {
    SF_INFO info{};
    sf_ = sf_open_fd(file_.Fd(), SFM_READ, &info, 0);
    if (!sf_) {
        // The file itself opened, so only the decoder's verdicts on its
        // contents are said as they are; any other ("File does not exist")
        // would mislead.
        const int error = sf_error(nullptr);
        const bool aboutContents = error == SF_ERR_UNRECOGNISED_FORMAT ||
                                   error == SF_ERR_MALFORMED_FILE ||
                                   error == SF_ERR_UNSUPPORTED_ENCODING;
        const QString why = aboutContents
                                ? QString::fromLocal8Bit(sf_error_number(error))
                                : QStringLiteral("damaged, cut off or of an unknown kind");
        throw AppError::Standard(
            ErrNo::InvalidFileFormat,
            QStringLiteral("%1 is not audio that can be imported (%2)").arg(path, why));
    }
    if (info.channels < 1 || info.samplerate < ImportSource::MinRate ||
        info.samplerate > ImportSource::MaxRate) {
        sf_close(sf_);
        sf_ = nullptr;
        throw AppError::Standard(ErrNo::InvalidFileFormat,
                                 QStringLiteral("%1 has %2 channels at %3 Hz; a sound to import "
                                                "has 1 channel or more at %4 to %5 Hz")
                                     .arg(path)
                                     .arg(info.channels)
                                     .arg(info.samplerate)
                                     .arg(ImportSource::MinRate)
                                     .arg(ImportSource::MaxRate));
    }
    facts_.Format = FormatName(info.format);
    facts_.Bits = IntegerBits(info.format);
    facts_.Encoding = EncodingName(info.format, facts_.Bits);
    facts_.Rate = info.samplerate;
    facts_.Channels = info.channels;
    // A decoder that cannot find the end reports a count no file could hold.
    facts_.Frames = info.frames >= 0 && info.frames < (sf_count_t(1) << 40) ? info.frames : -1;
}

ImportSource::~ImportSource() {
    if (sf_) sf_close(sf_);
}

qint64 ImportSource::ReadFrames(float* out, qint64 frames) {
    const sf_count_t got = sf_readf_float(sf_, out, frames);
    if (got < frames && sf_error(sf_) != SF_ERR_NO_ERROR) {
        throw AppError::Standard(ErrNo::DeviceIO,
                                 QStringLiteral("%1 could not be decoded: %2")
                                     .arg(file_.Path(), QString::fromLocal8Bit(sf_strerror(sf_))));
    }
    return got;
}

void ImportSource::Seek(qint64 frame) {
    if (frame == 0) return;
    const sf_count_t to = facts_.LengthKnown() ? std::min<sf_count_t>(frame, facts_.Frames) : frame;
    if (sf_seek(sf_, to, SEEK_SET) < 0)
        throw AppError::Standard(ErrNo::DeviceIO,
                                 QStringLiteral("%1 could not be decoded from frame %2: %3")
                                     .arg(file_.Path())
                                     .arg(frame)
                                     .arg(QString::fromLocal8Bit(sf_strerror(sf_))));
}
