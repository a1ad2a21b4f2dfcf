#include "BatchCommand.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <algorithm>
#include <cerrno>
#include <memory>

#include "AppError.h"
#include "BatchPlan.h"
#include "Console.h"
#include "Conversion.h"
#include "Inspection.h"
#include "Inventory.h"
#include "NativeName.h"
#include "SoundInfo.h"
#include "UncheckedHeader.h"

namespace BatchCommand {

const char kUsage[] =
    "  zsnd batch --from TYPE --to TYPE DIR [NAME...]\n"
    "      Converts every TYPE file in DIR (or the NAMEs given, in that order) into\n"
    "      the --to type beside it, named in upper case with the type replaced.\n"
    "      Existing outputs are replaced. A NAME not of the --from type, two\n"
    "      sources that would give one output, or an output that is a source\n"
    "      itself are refused before anything is written. The first failure\n"
    "      stops the run.\n";

namespace {

using mUtility::SoundInfo;

QString TypeOption(const CommandLine& line, const QString& name) {
    if (!line.Has(name)) throw UsageError(QStringLiteral("batch needs --%1 TYPE").arg(name));
    const QString type = line.Value(name).toUpper();
    if (type != QLatin1String("SND") && type != QLatin1String("WSD") &&
        type != QLatin1String("WAV"))
        throw UsageError(QStringLiteral("--%1 must be snd, wsd or wav").arg(name));
    return type;
}

// The visible regular files of `folder` (links followed) whose type is `type`,
// by name without regard to case. Names are read as bytes, so a name that is
// not valid UTF-8 is listed and opened like any other.
QStringList SourceNames(const QString& folder, const QString& type) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(NativeName::Encode(folder).constData()),
                                                  ::closedir);
    if (!dir) throw AppError::fromErrno(errno, folder);
    QStringList names;
    for (;;) {
        errno = 0;  // fstatat below may leave it set; only readdir's own failure counts
        const dirent* entry = ::readdir(dir.get());
        if (!entry) break;
        struct stat st {};
        if (entry->d_name[0] == '.' || ::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) != 0 ||
            !S_ISREG(st.st_mode))
            continue;
        const QString name = NativeName::Decode(QByteArray(entry->d_name));
        if (mUtility::TypeOfName(name) == type) names << name;
    }
    if (errno != 0) throw AppError::fromErrno(errno, folder);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

// Named files must be files of DIR of the source type: anything else is
// refused before a single file is written.
void CheckNames(const QStringList& names, const QString& from) {
    for (const QString& name : names) {
        if (name.isEmpty() || name.contains(QLatin1Char('/')))
            throw UsageError(
                QStringLiteral("\"%1\" is not a file name in DIR").arg(Console::Shown(name)));
        if (mUtility::TypeOfName(name) != from)
            throw UsageError(QStringLiteral("%1 is not a .%2 file; nothing was converted")
                                 .arg(Console::Shown(name), from.toLower()));
    }
}

// Shows how far a long run has come; only on a terminal, only after a second.
class Progress {
public:
    explicit Progress(qsizetype total) : total_(total), shown_(Console::ErrIsTerminal()) {
        timer_.start();
    }
    ~Progress() {
        if (drawn_) Console::Err(QStringLiteral("\n"));
    }
    void Update(qsizetype done) {
        if (!shown_ || timer_.elapsed() < 1000 || timer_.elapsed() - last_ < 100) return;
        last_ = timer_.elapsed();
        drawn_ = true;
        Console::ErrOverLine(
            QStringLiteral("zsnd: %1 of %2 files converted").arg(done).arg(total_));
    }

private:
    qsizetype total_;
    bool shown_;
    bool drawn_ = false;
    qint64 last_ = 0;
    QElapsedTimer timer_;
};

// A header the batch cannot convert (a file shorter than its header, a WAV
// that is compressed or without its chunks, a data length the file does not
// hold), as opposed to a failed read or write.
struct RefusedHeader {
    AppError error;
};

void ReadHeader(const QString& source, const QString& from) {
    try {
        mUtility::ReadHeaderUnchecked(source, from, SoundInfo);
        const bool wav = from == QLatin1String("WAV");
        mUtility::CheckDataLength(source, SoundInfo.DataLength,
                                  wav ? SoundInfo.DataOffset : SndHeaderSize);
    } catch (const AppError& e) {
        if (e.Number == ErrNo::InputPastEnd || e.Number == ErrNo::InvalidProcedureCall)
            throw RefusedHeader{e};
        throw;
    }
}

void ConvertOne(const QString& folder, const mUtility::BatchStep& step, const QString& from,
                const QString& to) {
    const QString source = mUtility::JoinPath(folder, step.Entry);
    ReadHeader(source, from);
    const QString refusal =
        to == QLatin1String("WAV") ? QString() : mUtility::GameFormatRefusal(SoundInfo);
    if (!refusal.isEmpty())
        throw RefusedHeader{AppError::Standard(ErrNo::InvalidFileFormat, refusal)};
    const QString& output = step.Output;
    const QString dest = mUtility::JoinPath(folder, output);
    if (to == QLatin1String("WAV")) {
        SoundInfo.WavName = output;
        mUtility::MakeWAV(source, dest);
    } else {
        (to == QLatin1String("SND") ? SoundInfo.SndName : SoundInfo.WsdName) = output;
        mUtility::MakeSND(source, dest);
    }
}

ExitCode Stopped(const AppError& error, ExitCode code, int converted, qsizetype total,
                 const QString& entry) {
    Console::Report(error);
    Console::Err(QStringLiteral("zsnd: %1 of %2 converted; stopped at %3\n")
                     .arg(converted)
                     .arg(total)
                     .arg(Console::Shown(entry)));
    return code;
}

}  // namespace

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {"from", "to"}, {});
    const QString from = TypeOption(line, "from");
    const QString to = TypeOption(line, "to");
    if (from == to) throw UsageError(QStringLiteral("--to must differ from --from"));
    if (line.Operands().isEmpty()) throw UsageError(QStringLiteral("batch needs a folder DIR"));
    const QString folder = line.Operands().first();
    if (folder.isEmpty()) throw UsageError(QStringLiteral("the folder DIR is empty text"));
    const QStringList named = line.Operands().mid(1);
    CheckNames(named, from);
    QList<mUtility::BatchStep> steps;
    try {
        mUtility::RequireFolder(folder);
        steps = mUtility::PlanBatch(folder, named.isEmpty() ? SourceNames(folder, from) : named,
                                    from, to);
    } catch (const AppError& e) {
        Console::Report(e);
        return ExitCode::Failed;
    }
    SoundInfo.Folder = folder;
    SoundInfo.Extension = from;
    mUtility::ConvertedCount = 0;
    int converted = 0;
    Progress progress(steps.size());
    for (const mUtility::BatchStep& step : steps) {
        try {
            ConvertOne(folder, step, from, to);
        } catch (const RefusedHeader& r) {
            return Stopped(r.error, ExitCode::Refused, converted, steps.size(), step.Entry);
        } catch (const AppError& e) {
            return Stopped(e, ExitCode::Failed, converted, steps.size(), step.Entry);
        }
        progress.Update(++converted);
    }
    Console::Out(
        QStringLiteral("Operation was successful!  %1 files were converted.\n").arg(converted));
    return ExitCode::Ok;
}

}  // namespace BatchCommand
