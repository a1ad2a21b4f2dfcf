#include "BatchCommand.h"

#include <QDir>
#include <QElapsedTimer>
#include <cerrno>

#include "AppError.h"
#include "Console.h"
#include "Conversion.h"
#include "SoundInfo.h"
#include "UncheckedHeader.h"

namespace BatchCommand {

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

QStringList SourceNames(const QString& folder, const QString& type) {
    const QDir dir(folder);
    if (!dir.exists()) throw AppError::fromErrno(ENOENT, folder);
    return dir.entryList({QStringLiteral("*.") + type}, QDir::Files, QDir::Name | QDir::IgnoreCase);
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
        Console::Err(QStringLiteral("\rzsnd: %1 of %2 files converted").arg(done).arg(total_));
    }

private:
    qsizetype total_;
    bool shown_;
    bool drawn_ = false;
    qint64 last_ = 0;
    QElapsedTimer timer_;
};

void ConvertOne(const QString& folder, const QString& entry, const QString& from,
                const QString& to) {
    const QString source = mUtility::JoinPath(folder, entry);
    mUtility::ReadHeaderUnchecked(source, from, SoundInfo);
    const QString output = mUtility::OutputName(entry, from, to);
    const QString dest = mUtility::JoinPath(folder, output);
    if (to == QLatin1String("WAV")) {
        SoundInfo.WavName = output;
        mUtility::MakeWAV(source, dest);
    } else {
        (to == QLatin1String("SND") ? SoundInfo.SndName : SoundInfo.WsdName) = output;
        mUtility::MakeSND(source, dest);
    }
}

}  // namespace

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {"from", "to"}, {});
    const QString from = TypeOption(line, "from");
    const QString to = TypeOption(line, "to");
    if (from == to) throw UsageError(QStringLiteral("--to must differ from --from"));
    if (line.Operands().isEmpty()) throw UsageError(QStringLiteral("batch needs a folder DIR"));
    const QString folder = line.Operands().first();
    try {
        const QStringList names =
            line.Operands().size() > 1 ? line.Operands().mid(1) : SourceNames(folder, from);
        SoundInfo.Folder = folder;
        SoundInfo.Extension = from;
        mUtility::ConvertedCount = 0;
        int converted = 0;
        Progress progress(names.size());
        for (const QString& entry : names) {
            ConvertOne(folder, entry, from, to);
            progress.Update(++converted);
        }
        Console::Out(
            QStringLiteral("Operation was successful!  %1 files were converted.\n").arg(converted));
        return ExitCode::Ok;
    } catch (const AppError& e) {
        Console::Report(e);
        return ExitCode::Failed;
    }
}

}  // namespace BatchCommand
