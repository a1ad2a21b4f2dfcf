#include "InfoCommand.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStringBuilder>

#include "AppError.h"
#include "Console.h"
#include "Inspection.h"
#include "Inventory.h"
#include "ListedTypes.h"
#include "LoudnessColumns.h"
#include "MeasureAhead.h"
#include "NativeName.h"

namespace InfoCommand {

const char kUsage[] =
    "  zsnd info [-r] [--csv | --json] [--hash] [--loudness] PATH...\n"
    "      Checks each file's header and prints it as the main window shows it;\n"
    "      a refused file's message goes to standard error. A folder PATH stands\n"
    "      for its .snd, .wsd and .wav files; -r (--recursive) adds those of its\n"
    "      sub-folders. --csv prints a table (RFC 4180) with one row per file:\n"
    "      path, type, valid, refusal, 8-bit flag, internal ID, data length,\n"
    "      sample rate, bit depth, channels, frames and duration in seconds; a\n"
    "      relative path that could pass for a formula (=, +, -, @) gets ./.\n"
    "      --json prints an array of the same records with the panel texts.\n"
    "      --hash adds the SHA-256 of the sample bytes alone, so a file and its\n"
    "      conversion show the same hash.\n"
    "      --loudness measures each valid sound: integrated loudness (LUFS),\n"
    "      loudness range (LU), sample peak (dBFS), true peak (dBTP), samples at\n"
    "      full scale and DC offset, as lines or as the columns loudness_lufs,\n"
    "      loudness_range_lu, sample_peak_dbfs, true_peak_dbtp, full_scale_samples\n"
    "      and dc_offset (empty, or null in JSON, where not measurable: silence,\n"
    "      a sound below the -70 LUFS gate, or one shorter than one 400 ms block;\n"
    "      JSON's loudness_status says which). A WAV of 24 or 32 bits or more\n"
    "      channels is decoded as import decodes it.\n";

namespace {

using mUtility::InspectionOutcome;
using mUtility::InspectionResult;
using mUtility::ListedFile;
using mUtility::SoundInfoRecord;

// Built in one piece: with thousands of files, each extra copy shows.
QString PanelText(QLatin1String before, const mUtility::InfoPanelTexts& p) {
    return before % QLatin1String("File: ") % Console::Shown(p.FileName) %
           QLatin1String("\n8-bit Flag: ") % p.EightBitFlag % QLatin1String("\nInternal ID #: ") %
           p.InternalID % QLatin1String("\nData length: ") % p.DataLength %
           QLatin1String("\nSample rate: ") % p.SampleRate % QLatin1String("\nBit depth: ") %
           p.BitDepth % QLatin1String("\nChannels: ") % p.Channels % QLatin1Char('\n');
}

QString OutcomeName(InspectionOutcome outcome) {
    switch (outcome) {
        case InspectionOutcome::Valid:
            return QStringLiteral("valid");
        case InspectionOutcome::Invalid:
            return QStringLiteral("invalid");
        case InspectionOutcome::MalformedWav:
            return QStringLiteral("malformed_wav");
    }
    return {};
}

QString IconName(mUtility::MessageIcon icon) {
    switch (icon) {
        case mUtility::MessageIcon::Information:
            return QStringLiteral("information");
        case mUtility::MessageIcon::Warning:
            return QStringLiteral("warning");
        case mUtility::MessageIcon::Critical:
            return QStringLiteral("critical");
        case mUtility::MessageIcon::None:
            break;
    }
    return QStringLiteral("none");
}

QJsonObject PanelJson(const mUtility::InfoPanelTexts& p) {
    return {{"fileName", p.FileName},     {"eightBitFlag", p.EightBitFlag},
            {"internalID", p.InternalID}, {"dataLength", p.DataLength},
            {"sampleRate", p.SampleRate}, {"bitDepth", p.BitDepth},
            {"channels", p.Channels}};
}

// The table's values, then the panel and the message as the window shows them.
QJsonObject RowJson(const mUtility::InventoryRow& row, const InspectionResult& r,
                    const SoundInfoRecord& info, bool hash) {
    const auto known = [](bool has, qint64 value) {
        return has ? QJsonValue(value) : QJsonValue();
    };
    const bool header = row.HasHeader;
    const bool game = header && row.IsGameType();
    QJsonObject o{{"path", row.Path},
                  {"type", row.Type},
                  {"valid", row.Valid},
                  {"refusal", row.Refusal},
                  {"eightBitFlag", known(game, row.EightBitFlag)},
                  {"internalID", known(game, row.InternalID)},
                  {"dataLength", known(header, row.DataLength)},
                  {"sampleRate", known(header, row.SampleRate)},
                  {"bitsPerSample", known(header, row.BitsPerSample)},
                  {"channels", known(header, row.Channels)},
                  {"frames", known(row.Frames >= 0, row.Frames)},
                  {"durationSeconds", row.Seconds >= 0 ? QJsonValue(row.Seconds) : QJsonValue()}};
    if (hash)
        o.insert("sha256", row.Sha256.isEmpty() ? QJsonValue() : QString::fromLatin1(row.Sha256));
    if (!row.Readable) {
        o.insert("outcome", "error");
        o.insert("error",
                 QJsonObject{{"number", row.Error.Number}, {"description", row.Error.Description}});
        return o;
    }
    o.insert("fileName", info.FileName);
    o.insert("extension", info.Extension);
    o.insert("outcome", OutcomeName(r.Outcome));
    o.insert("panel", PanelJson(r.Panel));
    if (info.Extension == QLatin1String("WAV") && header) {
        o.insert("formatTag", quint16(info.FormatTag));  // 65534, the extensible tag
        o.insert("byteRate", info.ByteRate);
        o.insert("blockAlign", info.BlockAlign);
    }
    if (!r.IsValid()) {
        o.insert("message", QJsonObject{{"title", r.MessageTitle},
                                        {"icon", IconName(r.Icon)},
                                        {"text", r.MessageText}});
    }
    return o;
}

enum class Format { Text, Csv, Json };

// The loudness of a valid row's whole sound, file `index` of those `ahead`
// measures; nothing for a refused file, or when the samples cannot be read
// (reported, and `failed` set).
std::optional<Loudness::Figures> FiguresOf(const mUtility::InventoryRow& row,
                                           Loudness::MeasureAhead& ahead, qsizetype index,
                                           bool& failed) {
    if (!row.Valid) return std::nullopt;
    try {
        return ahead.Take(index);
    } catch (const AppError& e) {
        Console::Report(e);
        failed = true;
        return std::nullopt;
    }
}

void InsertLoudness(QJsonObject& o, const Loudness::Figures* f) {
    for (int c = 0; c < Loudness::kColumnCount; ++c) {
        const std::optional<double> v = f ? Loudness::Value(*f, c) : std::nullopt;
        o.insert(Loudness::ColumnName(c), v ? QJsonValue(*v) : QJsonValue());
    }
    o.insert(QStringLiteral("loudness_status"), f ? Loudness::StatusName(*f) : QJsonValue());
}

// The files named: a folder stands for its sound files (and with -r those of
// its sub-folders), anything else for itself. The look that tells a folder
// also spares a regular file its own look before it is opened; many names in
// one folder are looked up in its listing.
QList<ListedFile> FilesOf(const QStringList& operands, bool recursive, bool& failed) {
    QList<QByteArray> natives;
    natives.reserve(operands.size());
    for (const QString& path : operands) natives << NativeName::Encode(path);
    const std::vector<unsigned char> listed = ListedTypes::Of(natives);
    QList<ListedFile> files;
    for (qsizetype i = 0; i < operands.size(); ++i) {
        const QString& path = operands[i];
        bool folder = listed[size_t(i)] == DT_DIR;
        bool regular = listed[size_t(i)] == DT_REG;
        if (!folder && !regular) {
            struct stat st {};
            const bool seen = ::stat(natives[i].constData(), &st) == 0;
            folder = seen && S_ISDIR(st.st_mode);
            regular = seen && S_ISREG(st.st_mode);
        }
        if (!folder) {
            files << ListedFile{path, regular};
            continue;
        }
        QList<AppError> errors;
        files << mUtility::ListSoundFiles(path, recursive, errors);
        for (const AppError& e : errors) Console::Report(e);
        failed = failed || !errors.isEmpty();
    }
    return files;
}

// The files already reported, when several operands may name one twice.
class Seen {
public:
    explicit Seen(bool watch) : watch_(watch) {}
    bool Again(const mUtility::InventoryRow& row) {
        if (!watch_) return false;
        if (row.File) return Repeats(files_, *row.File);
        return Repeats(unread_, row.Path);
    }

private:
    template <typename Key>
    static bool Repeats(QSet<Key>& set, const Key& key) {
        const qsizetype before = set.size();
        set.insert(key);
        return set.size() == before;
    }
    bool watch_;
    QSet<mUtility::FileIdentity> files_;
    QSet<QString> unread_;
};

// "-r" is the short form of "--recursive".
QStringList Expanded(const QStringList& args) {
    QStringList out;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--")) optionsEnded = true;
        out << (!optionsEnded && arg == QLatin1String("-r") ? QStringLiteral("--recursive") : arg);
    }
    return out;
}

}  // namespace

ExitCode Run(const QStringList& args) {
    const CommandLine line(Expanded(args), {}, {"json", "csv", "hash", "recursive", "loudness"});
    if (line.Operands().isEmpty()) throw UsageError(QStringLiteral("info needs at least one PATH"));
    if (line.Has("json") && line.Has("csv"))
        throw UsageError(QStringLiteral("--csv and --json cannot be combined"));
    const Format format = line.Has("csv")    ? Format::Csv
                          : line.Has("json") ? Format::Json
                                             : Format::Text;
    const bool hash = line.Has("hash");
    const bool loudness = line.Has("loudness");
    bool refused = false, failed = false, first = true;
    const QList<ListedFile> files = FilesOf(line.Operands(), line.Has("recursive"), failed);
    if (format == Format::Csv)
        Console::OutVerbatim(loudness ? Loudness::WithCsvHeader(mUtility::CsvHeaderLine(hash))
                                      : mUtility::CsvHeaderLine(hash));
    if (format == Format::Json) Console::OutVerbatim(QStringLiteral("["));
    SoundInfoRecord info;
    InspectionResult r;
    // Loudness is measured on every core, ahead of the row being written.
    std::optional<Loudness::MeasureAhead> ahead;
    if (loudness) {
        QStringList paths;
        for (const ListedFile& file : files) paths << file.path;
        ahead.emplace(paths);
    }
    // A file named twice (or by a link, or inside a folder also named) is
    // reported once; the identity comes from the look its opening takes anyway.
    Seen seen(line.Operands().size() > 1);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const auto& [path, seenRegular] = files[i];
        const mUtility::InventoryRow row =
            mUtility::InventoryRowOf(path, hash, &info, &r, seenRegular);
        if (seen.Again(row)) continue;
        const std::optional<Loudness::Figures> figures =
            loudness ? FiguresOf(row, *ahead, i, failed) : std::nullopt;
        const Loudness::Figures* f = figures ? &*figures : nullptr;
        if (format == Format::Csv)
            Console::OutVerbatim(loudness ? Loudness::WithCsvFields(mUtility::CsvLine(row, hash), f)
                                          : mUtility::CsvLine(row, hash));
        if (format == Format::Json) {
            QJsonObject o = RowJson(row, r, info, hash);
            if (loudness) InsertLoudness(o, f);
            Console::OutVerbatim(
                (first ? QStringLiteral("\n") : QStringLiteral(",\n")) +
                QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
        }
        if (!row.Readable) {
            failed = true;
            Console::Report(row.Error);
        } else if (!row.Valid) {
            refused = true;
            if (format == Format::Text)
                Console::Err(Console::Shown(path) + QStringLiteral(": ") +
                             Console::Line(r.MessageText) + QLatin1Char('\n'));
        } else if (format == Format::Text) {
            QString text = PanelText(QLatin1String(first ? "" : "\n"), r.Panel);
            if (hash)
                text += QLatin1String("SHA-256: ") % QLatin1String(row.Sha256) % QLatin1Char('\n');
            if (f) text += Loudness::PanelLines(*f);
            Console::Out(text);
        }
        if (format != Format::Text || row.Valid) first = false;
    }
    if (format == Format::Json)
        Console::OutVerbatim(first ? QStringLiteral("]\n") : QStringLiteral("\n]\n"));
    return failed ? ExitCode::Failed : refused ? ExitCode::Refused : ExitCode::Ok;
}

}  // namespace InfoCommand
