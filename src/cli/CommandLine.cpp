#include "CommandLine.h"

CommandLine::CommandLine(const QStringList& args, const QSet<QString>& valued,
                         const QSet<QString>& flags) {
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || !arg.startsWith(QLatin1String("--"))) {
            operands_ << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString name = arg.mid(2, eq < 0 ? -1 : eq - 2);
        if (flags.contains(name) && eq < 0) {
            options_[name] = QString();
        } else if (valued.contains(name)) {
            if (eq >= 0) {
                options_[name] = arg.mid(eq + 1);
            } else if (i + 1 < args.size()) {
                options_[name] = args[++i];
            } else {
                throw UsageError(QStringLiteral("option --%1 needs a value").arg(name));
            }
        } else {
            throw UsageError(QStringLiteral("unknown option %1").arg(arg));
        }
    }
}

int CommandLine::IntValue(const QString& name, int min, int max) const {
    bool ok = false;
    const QString text = Value(name);
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max || text.trimmed() != text) {
        throw UsageError(QStringLiteral("--%1 must be a whole number from %2 to %3, not \"%4\"")
                             .arg(name)
                             .arg(min)
                             .arg(max)
                             .arg(text));
    }
    return value;
}

int CommandLine::ChoiceIndex(const QString& name, const QStringList& choices) const {
    const int index = static_cast<int>(choices.indexOf(Value(name).toLower()));
    if (index < 0) {
        throw UsageError(QStringLiteral("--%1 must be %2, not \"%3\"")
                             .arg(name, choices.join(QLatin1String(" or ")), Value(name)));
    }
    return index;
}

QString SoundTypeOf(const QString& path) {
    const QString upper = path.toUpper();
    for (const char* type : {"SND", "WSD", "WAV"})
        if (upper.endsWith(QLatin1Char('.') + QLatin1String(type))) return QLatin1String(type);
    return {};
}
