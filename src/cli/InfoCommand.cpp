#include "InfoCommand.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "AppError.h"
#include "Console.h"
#include "Inspection.h"

namespace InfoCommand {

namespace {

using mUtility::InspectionOutcome;
using mUtility::InspectionResult;
using mUtility::SoundInfoRecord;

QString PanelText(const mUtility::InfoPanelTexts& p) {
    return QStringLiteral("File: ") + p.FileName + QStringLiteral("\n8-bit Flag: ") +
           p.EightBitFlag + QStringLiteral("\nInternal ID #: ") + p.InternalID +
           QStringLiteral("\nData length: ") + p.DataLength + QStringLiteral("\nSample rate: ") +
           p.SampleRate + QStringLiteral("\nBit depth: ") + p.BitDepth +
           QStringLiteral("\nChannels: ") + p.Channels + QLatin1Char('\n');
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

QJsonObject ResultJson(const QString& path, const InspectionResult& r,
                       const SoundInfoRecord& info) {
    QJsonObject o{{"path", path},
                  {"fileName", info.FileName},
                  {"extension", info.Extension},
                  {"outcome", OutcomeName(r.Outcome)},
                  {"eightBitFlag", info.EightBitFlag},
                  {"internalID", info.InternalID},
                  {"dataLength", info.DataLength},
                  {"sampleRate", info.SampleRate},
                  {"bitsPerSample", info.BitsPerSample},
                  {"channels", info.Channels},
                  {"panel", PanelJson(r.Panel)}};
    if (info.Extension == QLatin1String("WAV")) {
        o.insert("formatTag", info.FormatTag);
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

QJsonObject ErrorJson(const QString& path, const AppError& e) {
    return {{"path", path},
            {"outcome", "error"},
            {"error", QJsonObject{{"number", e.Number}, {"description", e.Description}}}};
}

void PrintJson(const QJsonObject& o) {
    Console::Out(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) +
                 QLatin1Char('\n'));
}

}  // namespace

ExitCode Run(const QStringList& args) {
    const CommandLine line(args, {}, {QStringLiteral("json")});
    if (line.Operands().isEmpty()) throw UsageError(QStringLiteral("info needs at least one FILE"));
    const bool json = line.Has(QStringLiteral("json"));
    bool refused = false, failed = false, printedPanel = false;
    SoundInfoRecord info;
    for (const QString& path : line.Operands()) {
        QString folder, name;
        mUtility::SplitPath(path, folder, name);
        try {
            const InspectionResult r = mUtility::InspectFile(folder, name, info);
            if (json) PrintJson(ResultJson(path, r, info));
            if (r.IsValid()) {
                if (!json)
                    Console::Out((printedPanel ? QStringLiteral("\n") : QString()) +
                                 PanelText(r.Panel));
                printedPanel = true;
            } else {
                refused = true;
                Console::Err(path + QStringLiteral(": ") + r.MessageText + QLatin1Char('\n'));
            }
        } catch (const AppError& e) {
            failed = true;
            if (json) PrintJson(ErrorJson(path, e));
            Console::Report(e);
        }
    }
    return failed ? ExitCode::Failed : refused ? ExitCode::Refused : ExitCode::Ok;
}

}  // namespace InfoCommand
