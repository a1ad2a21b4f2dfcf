#pragma once

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <stdexcept>

// "SND", "WSD" or "WAV" from a path's extension (any case), or "".
QString SoundTypeOf(const QString& path);

// Exit statuses of every command.
enum class ExitCode { Ok = 0, Refused = 1, Usage = 2, Failed = 3 };

// A mistake in the command line; its text is shown with the usage hint.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& text) : std::runtime_error(text.toStdString()), Text(text) {}
    QString Text;  // what() loses bytes of names that are not valid UTF-8
};

// One command's arguments split into options and operands. Options take the
// forms "--name value" and "--name=value"; "--" ends the options.
class CommandLine {
public:
    // `valued` names the options that take a value, `flags` those that do not.
    // Throws UsageError for an unknown option or a missing value.
    CommandLine(const QStringList& args, const QSet<QString>& valued, const QSet<QString>& flags);

    bool Has(const QString& name) const { return options_.contains(name); }
    QString Value(const QString& name) const { return options_.value(name); }
    const QStringList& Operands() const { return operands_; }

    // The value of `name` as a whole number in [min, max]; throws UsageError
    // naming the option otherwise.
    int IntValue(const QString& name, int min, int max) const;

    // The index of the value of `name` among `choices` (compared in lower
    // case); throws UsageError listing the choices otherwise.
    int ChoiceIndex(const QString& name, const QStringList& choices) const;

private:
    QMap<QString, QString> options_;
    QStringList operands_;
};
