#include "TrapERR.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QMetaType>
#include <QSequentialIterable>
#include <QSysInfo>
#include <cstring>
#include <new>
#include <stdexcept>
#include <system_error>

#ifndef ZS_VERSION
#define ZS_VERSION "2.0.7"
#endif

namespace {

struct EmptyValue {};

const QString CrLf = QStringLiteral("\r\n");
constexpr int CallStackWidth = 100;
constexpr int LongValueLength = 40;
constexpr qint32 NoApiErrorCode = 203;  // says nothing about the failure: no line for it

struct Preserved {
    AppError error;
    bool preserved = false;
};

// The preserved error and the block of long values; used by one call at a time
// on the GUI thread.
Preserved& Record() {
    static Preserved record;
    return record;
}

QString& LongValues() {
    static QString block;
    return block;
}

QString LostDescription() {
    return QStringLiteral("ErrorIn: Error information was lost. ") +
           QStringLiteral("To fix: call ErrPreserve before doing anything in error handler.");
}

// The first non-letter of a locale format is its separator.
QString SeparatorIn(const QString& format, const QString& fallback) {
    for (QChar c : format) {
        if (!c.isLetter()) return c.isSpace() ? fallback : QString(c);
    }
    return fallback;
}

QString TimeText() {
    const QLocale locale = QLocale::system();
    const QString d = SeparatorIn(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
    const QString t = SeparatorIn(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
    const QDateTime now = QDateTime::currentDateTime();
    return now.toString(QStringLiteral("MM'%1'dd'%1'yy HH'%2'mm'%2'ss").arg(d, t));
}

QString Relative(qint32 number, qint32 base) {
    const qint64 diff = qint64(number) - qint64(base);
    return diff >= 0 ? QStringLiteral("+ %1").arg(diff) : QStringLiteral("- %1").arg(-diff);
}

QString Header(const QString& methodName, const AppError& e) {
    QString text = QStringLiteral(
        "%Descr% %nl%  Time='%Time%' App='%App%:%Ver%' ADO-version='%ADOVersion%' "
        "Computer='%Comp%' %nl%  Method: %MethodName% %nl%  Number: %ErrNum% = &H%ErrHex% = "
        "vbObjectError %ErrNumRel1% = ERRMAP_APP_FIRST %ErrNumRel2% %ErrStd%%nl%  Source: "
        "%Source% %nl%  Description: %Descr%%nl%");
    // Field markers become code 8 first, so a "%" inside a value is never
    // taken for a marker.
    const QChar mark(8);
    text.replace(QLatin1Char('%'), mark);
    const auto field = [&](const char* name, const QString& value) {
        text.replace(mark + QLatin1String(name) + mark, value);
    };
    field("nl", CrLf);
    field("MethodName", methodName);
    field("Comp", QSysInfo::machineHostName());
    field("Time", TimeText());
    field("App", TrapERR::AppName());
    field("Ver", QStringLiteral(ZS_VERSION));
    field("ADOVersion", QStringLiteral("?"));
    field("ErrNum", QString::number(e.Number));
    field("ErrHex", QString::number(quint32(e.Number), 16).toUpper());
    field("ErrNumRel1", Relative(e.Number, TrapERR::vbObjectError));
    field("ErrNumRel2", Relative(e.Number, TrapERR::ERRMAP_APP_FIRST));
    field("ErrStd", e.Number == TrapERR::ERR_GENERAL ? QStringLiteral("= ERR_GENERAL") : QString());
    // Errors raised from a failed system call name no source of their own.
    field("Source", e.Source.isEmpty() ? TrapERR::AppName() : e.Source);
    field("Descr", e.Description);
    text.replace(mark, QLatin1Char('%'));
    return text;
}

QString ApiErrorLine(qint32 code) {
    QString message = QString::fromLocal8Bit(std::strerror(code));
    message.remove(CrLf);
    message.remove(QChar(0));
    return QStringLiteral("  API Error: (%1) %2").arg(code).arg(message) + CrLf;
}

bool IsArray(const QVariant& v) {
    const int type = v.metaType().id();
    if (type == QMetaType::QString || type == QMetaType::QChar) return false;
    if (type == QMetaType::QByteArray || type == QMetaType::QStringList ||
        type == QMetaType::QVariantList) {
        return true;
    }
    return QMetaType::canView(v.metaType(), QMetaType::fromType<QSequentialIterable>());
}

QString Quoted(const QString& s) {
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

QString NumberText(double d) {
    QString s = QString::number(d, 'g', 15);
    return s.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

QString ScalarText(const QVariant& v) {
    switch (v.metaType().id()) {
        case QMetaType::Bool:
            return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QMetaType::Float:
        case QMetaType::Double:
            return NumberText(v.toDouble());
        case QMetaType::QString:
        case QMetaType::QChar:
            return Quoted(v.toString());
        case QMetaType::QDate:
        case QMetaType::QTime:
        case QMetaType::QDateTime:
            return Quoted(QLocale::system().toString(v.toDateTime(), QLocale::ShortFormat));
        default:
            break;
    }
    const QMetaType::TypeFlags flags = v.metaType().flags();
    if (flags & QMetaType::IsEnumeration) return QString::number(v.toLongLong());
    if (flags & QMetaType::PointerToQObject) {
        const QObject* object = v.value<QObject*>();
        if (!object) return QStringLiteral("{Nothing}");
        return QLatin1Char('{') + QLatin1String(object->metaObject()->className()) +
               QLatin1Char('}');
    }
    // Whole numbers of every width.
    if (v.canConvert<qlonglong>()) return v.toString();
    return QStringLiteral("{?}");
}

QString ValueText(const QVariant& v) {
    try {
        if (!v.isValid()) return {};
        if (v.metaType() == QMetaType::fromType<EmptyValue>()) return QStringLiteral("{Empty}");
        if (v.metaType().id() == QMetaType::Nullptr) return QStringLiteral("{Null}");
        if (IsArray(v)) return QStringLiteral("{Array}");
        return ScalarText(v);
    } catch (...) {
        return QStringLiteral("{?}");
    }
}

void AddLongValue(const QString& name, const QString& text) {
    const QString indent(6, QLatin1Char(' '));
    QString body = text;
    body.replace(CrLf, CrLf + indent);
    QString& block = LongValues();
    if (!block.isEmpty()) block += CrLf;
    block += QStringLiteral("    Value Of ") + name + QLatin1Char(':') + CrLf + indent + body;
}

QString ArgumentList(const QString& paramList, const TrapERR::ArgList& values) {
    try {
        const QStringList names = paramList.split(QLatin1Char(','));
        const TrapERR::ArgList list = values.isEmpty() ? TrapERR::ArgList{QVariant()} : values;
        QStringList entries;
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString name = i < names.size() ? names.at(i) : QString();
            QString text = ValueText(list.at(i));
            if (text.contains(CrLf) || text.size() > LongValueLength) {
                AddLongValue(name, text);
                text = QStringLiteral("{Text}");
            }
            entries << (name.isEmpty() ? text : name + QLatin1Char('=') + text);
        }
        return entries.join(QStringLiteral(", "));
    } catch (...) {
        return {};
    }
}

QString CallStackLine(const QString& method, const QString& paramList,
                      const TrapERR::ArgList& values, qint32 line) {
    QString text = QStringLiteral("  Call Stack: ") + method + QLatin1Char('(') +
                   ArgumentList(paramList, values) + QLatin1Char(')');
    if (line != 0) text += QStringLiteral("  at Line %1").arg(line);
    text += QLatin1Char(' ');
    return text.leftJustified(CallStackWidth, QLatin1Char('-')) + CrLf;
}

QString BuildReport(const QString& tag, const TrapERR::ArgList& values, const AppError& e) {
    const qsizetype open = tag.indexOf(QLatin1Char('('));
    const QString method = open < 0 ? tag : tag.left(open);
    // The parameter list without its closing parenthesis (a cut-off tag loses
    // nothing more).
    QString paramList = open < 0 ? QString() : tag.mid(open + 1);
    paramList.chop(1);

    QString report;
    if (e.Source == TrapERR::ReportedSource) {
        report = e.Description;
    } else {
        try {
            report = Header(method, e);
            if (e.LastDllError != 0 && e.LastDllError != NoApiErrorCode) {
                report += ApiErrorLine(e.LastDllError);
            }
        } catch (...) {
            // A failing piece leaves the report as far as it got.
        }
    }
    report += CallStackLine(method, paramList, values, e.Line);
    QString& block = LongValues();
    if (!block.isEmpty()) {
        report += block + CrLf;
        block.clear();
    }
    return report;
}

bool InQuietRange(qint32 number) {
    return number >= TrapERR::QuietFirst && number <= TrapERR::QuietLast;
}

AppError* HandledAppError() {
    const std::exception_ptr current = std::current_exception();
    if (!current) return nullptr;
    try {
        std::rethrow_exception(current);
    } catch (AppError& e) {
        return &e;
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

namespace TrapERR {

QVariant Empty() {
    return QVariant::fromValue(EmptyValue{});
}

QVariant Null() {
    return QVariant::fromValue(nullptr);
}

QString AppName() {
    const QString path = QCoreApplication::instance()
                             ? QCoreApplication::applicationFilePath()
                             : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return QFileInfo(path).completeBaseName();
}

AppError CurrentError() {
    const std::exception_ptr current = std::current_exception();
    if (!current) return AppError();
    const QString source = AppName();
    try {
        std::rethrow_exception(current);
    } catch (const AppError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return AppError::Standard(ErrNo::OutOfMemory, {}, source);
    } catch (const std::system_error& e) {
        const bool isErrno = e.code().category() == std::generic_category() ||
                             e.code().category() == std::system_category();
        if (isErrno)
            return AppError::fromErrno(e.code().value(), QString::fromLocal8Bit(e.what()), source);
        return AppError(ERR_GENERAL, QString::fromLocal8Bit(e.what()), source);
    } catch (const std::invalid_argument& e) {
        return AppError::Standard(ErrNo::InvalidProcedureCall, QString::fromLocal8Bit(e.what()),
                                  source);
    } catch (const std::out_of_range& e) {
        return AppError::Standard(ErrNo::SubscriptOutOfRange, QString::fromLocal8Bit(e.what()),
                                  source);
    } catch (const std::overflow_error& e) {
        return AppError::Standard(ErrNo::Overflow, QString::fromLocal8Bit(e.what()), source);
    } catch (const std::range_error& e) {
        return AppError::Standard(ErrNo::Overflow, QString::fromLocal8Bit(e.what()), source);
    } catch (const std::exception& e) {
        return AppError(ERR_GENERAL, QString::fromLocal8Bit(e.what()), source);
    } catch (...) {
        return AppError();
    }
}

AppError HandledError() {
    AppError error = CurrentError();
    if (error.Number == 0) {
        error.Number = ERR_GENERAL;
        error.Description = LostDescription();
    }
    return error;
}

void ErrPreserve(const AppError& error) {
    Preserved& record = Record();
    if (error.Number == 0 || record.preserved) return;
    record.error = error;
    record.preserved = true;
}

void ErrPreserve() {
    ErrPreserve(CurrentError());
}

QString ErrorIn(const QString& tag, const ArgList& values, int options) {
    Preserved& record = Record();
    ErrPreserve(record.preserved ? AppError() : HandledError());

    QString report;
    if (!InQuietRange(record.error.Number) && (options & ComposeReport)) {
        report = BuildReport(tag, values, record.error);
        record.error.Source = ReportedSource;
        record.error.Description = report;
    }

    // Give the record back: the next level starts from an empty record and the
    // error itself carries the report. Line numbers belong to one procedure.
    AppError result = record.error;
    result.Line = 0;
    record = Preserved{};
    LongValues().clear();
    if (AppError* handled = HandledAppError()) *handled = result;
    if (options & RaiseAgain) throw result;
    return report;
}

void Trap(const QString& tag, const ArgList& values) {
    ErrorIn(tag, values, RaiseAgain | ComposeReport);
    // ErrorIn always throws with RaiseAgain; this keeps [[noreturn]] honest.
    std::terminate();
}

}  // namespace TrapERR
