#include "LoudnessColumns.h"

#include <cmath>

namespace Loudness {

namespace {

struct ColumnInfo {
    const char* name;
    const char* title;
};

constexpr ColumnInfo kColumns[kColumnCount] = {
    {"loudness_lufs", "Loudness (LUFS)"},         {"loudness_range_lu", "Range (LU)"},
    {"sample_peak_dbfs", "Sample peak (dBFS)"},   {"true_peak_dbtp", "True peak (dBTP)"},
    {"full_scale_samples", "Full-scale samples"}, {"dc_offset", "DC offset"},
};

std::optional<double> Finite(double value) {
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

QString ColumnName(int column) {
    return QLatin1String(kColumns[column].name);
}

QString ColumnTitle(int column) {
    return QLatin1String(kColumns[column].title);
}

std::optional<double> Value(const Figures& f, int column) {
    switch (column) {
        case kIntegrated:
            return f.Measured() ? Finite(f.IntegratedLufs) : std::nullopt;
        case kRange:
            return f.Measured() ? Finite(f.RangeLu) : std::nullopt;
        case kSamplePeak:
            return Finite(f.SamplePeakDbfs);
        case kTruePeak:
            return Finite(f.TruePeakDbtp);
        case kFullScale:
            return double(f.FullScaleSamples);
        case kDcOffset:
            return f.DcOffset;
    }
    return std::nullopt;
}

QString CellText(const Figures& f, int column, bool csv) {
    const std::optional<double> v = Value(f, column);
    if (!v) return {};
    if (column == kFullScale) return QString::number(f.FullScaleSamples);
    if (column == kDcOffset) return QString::number(*v, 'f', 6);
    return QString::number(*v, 'f', csv ? 2 : 1);
}

QString WithCsvHeader(const QString& line) {
    QString out = line.chopped(2);
    for (int c = 0; c < kColumnCount; ++c) out += QLatin1Char(',') + ColumnName(c);
    return out + QStringLiteral("\r\n");
}

QString WithCsvFields(const QString& line, const Figures* figures) {
    QString out = line.chopped(2);
    for (int c = 0; c < kColumnCount; ++c)
        out += QLatin1Char(',') + (figures ? CellText(*figures, c, true) : QString());
    return out + QStringLiteral("\r\n");
}

QString DbText(double db, const char* unit) {
    return (std::isfinite(db) ? QString::number(db, 'f', 1) : QStringLiteral("-inf")) +
           QLatin1Char(' ') + QLatin1String(unit);
}

namespace {

// What the integrated loudness is: a figure, or why there is none.
enum class Kind { Measured, Silent, BelowGate, TooShort };

Kind KindOf(const Figures& f) {
    switch (f.Integrated) {
        case Status::Measured:
            return Kind::Measured;
        case Status::Silent:
            return f.BelowGate() ? Kind::BelowGate : Kind::Silent;
        case Status::TooShort:
            break;
    }
    return Kind::TooShort;
}

// Each kind's words, by Kind: in a sentence, in a cell, and for JSON. A
// measured loudness shows its figure instead of the first two.
struct Words {
    const char* text;
    const char* shortText;
    const char* name;
};
constexpr Words kWords[] = {
    {"", "", "measured"},
    {"-inf LUFS (silent)", "silent", "silent"},
    {"not measurable (below the gate of -70 LUFS)", "below the gate", "below_gate"},
    {"not measurable (shorter than one 400 ms block)", "< 400 ms", "too_short"},
};

const Words& WordsOf(const Figures& f) {
    return kWords[int(KindOf(f))];
}

}  // namespace

QString IntegratedText(const Figures& f) {
    return f.Measured() ? DbText(f.IntegratedLufs, "LUFS") : QString::fromLatin1(WordsOf(f).text);
}

QString IntegratedShortText(const Figures& f) {
    return f.Measured() ? DbText(f.IntegratedLufs, "LUFS")
                        : QString::fromLatin1(WordsOf(f).shortText);
}

QString StatusName(const Figures& f) {
    return QString::fromLatin1(WordsOf(f).name);
}

QString PanelLines(const Figures& f) {
    const QString range = f.Measured() ? DbText(f.RangeLu, "LU") : QStringLiteral("not measurable");
    return QStringLiteral("Loudness: ") + IntegratedText(f) + QStringLiteral("\nLoudness range: ") +
           range + QStringLiteral("\nSample peak: ") + DbText(f.SamplePeakDbfs, "dBFS") +
           QStringLiteral("\nTrue peak: ") + DbText(f.TruePeakDbtp, "dBTP") +
           QStringLiteral("\nFull-scale samples: ") + QString::number(f.FullScaleSamples) +
           QStringLiteral("\nDC offset: ") + QString::number(f.DcOffset, 'f', 6) +
           QLatin1Char('\n');
}

}  // namespace Loudness
