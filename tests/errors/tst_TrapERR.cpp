#include <QRegularExpression>
#include <QTest>
#include <cerrno>
#include <functional>
#include <new>
#include <stdexcept>
#include <system_error>

#include "TrapERR.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Hands `error` to a trapped procedure with `tag` and returns what leaves it.
AppError PassThrough(const AppError& error, const QString& tag, const TrapERR::ArgList& args = {}) {
    try {
        try {
            throw error;
        } catch (...) {
            TrapERR::Trap(tag, args);
        }
    } catch (const AppError& e) {
        return e;
    }
    return {};
}

QStringList Lines(const QString& report) {
    QStringList lines = report.split(CrLf);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QString CallStack(const QString& content) {
    return (QStringLiteral("  Call Stack: ") + content + QLatin1Char(' '))
        .leftJustified(100, QLatin1Char('-'));
}

// Three trapped levels, as the conversion routine below a dialog button.
void Innermost(const QString& sSourceFile, const QString& sDestFile) {
    try {
        throw AppError::fromErrno(ENOENT, sSourceFile, QStringLiteral("mUtility"));
    }
    ZS_TRAP("mUtility.MakeWAV(sSourceFile,sDestFile)", sSourceFile, sDestFile)
}

void Middle(int Index) {
    try {
        Innermost(QStringLiteral("/a.snd"), QStringLiteral("/b.wav"));
    }
    ZS_TRAP("frmConvert.optBitDepth_Click(Index)", Index)
}

void Outer() {
    try {
        Middle(3);
    }
    ZS_TRAP("frmConvert.btnConvert_Click")
}

}  // namespace

class tst_TrapERR : public QObject {
    Q_OBJECT

private slots:
    void reportGrowsOneLinePerLevel() {
        AppError e;
        try {
            Outer();
        } catch (const AppError& caught) {
            e = caught;
        }
        QCOMPARE(e.Number, 53);
        QCOMPARE(e.Source, TrapERR::ReportedSource);
        const QStringList lines = Lines(e.Description);
        QCOMPARE(lines.size(), 10);
        QCOMPARE(lines[0], QStringLiteral("File not found: /a.snd "));
        QVERIFY(QRegularExpression(
                    QStringLiteral("^  Time='\\d\\d.\\d\\d.\\d\\d \\d\\d.\\d\\d.\\d\\d' "
                                   "App='tst_TrapERR:2\\.0\\.7' ADO-version='\\?' Computer='.*' $"))
                    .match(lines[1])
                    .hasMatch());
        QCOMPARE(lines[2], QStringLiteral("  Method: mUtility.MakeWAV "));
        QCOMPARE(lines[4], QStringLiteral("  Source: mUtility "));
        QCOMPARE(lines[5], QStringLiteral("  Description: File not found: /a.snd"));
        QVERIFY(lines[6].startsWith(QStringLiteral("  API Error: (%1) ").arg(ENOENT)));
        QVERIFY(lines[6].size() > 18);
        QCOMPARE(lines[7], CallStack("mUtility.MakeWAV(sSourceFile='/a.snd', sDestFile='/b.wav')"));
        QCOMPARE(lines[8], CallStack("frmConvert.optBitDepth_Click(Index=3)"));
        QCOMPARE(lines[9], CallStack("frmConvert.btnConvert_Click()"));
        QCOMPARE(lines[9].size(), 100);
        QCOMPARE(e.Description.count(QStringLiteral("  Method: ")), 1);
    }

    void numberLine_data() {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<QString>("line");
        QTest::newRow("53") << 53
                            << "  Number: 53 = &H35 = vbObjectError + 2147221557 = "
                               "ERRMAP_APP_FIRST + 2147216359 ";
        QTest::newRow("0x80004005") << qint32(-2147467259)
                                    << "  Number: -2147467259 = &H80004005 = vbObjectError - "
                                       "245755 = ERRMAP_APP_FIRST - 250953 ";
        QTest::newRow("ERR_GENERAL") << TrapERR::ERR_GENERAL
                                     << "  Number: -2147216306 = &H8004144E = vbObjectError + "
                                        "5198 = ERRMAP_APP_FIRST + 0 = ERR_GENERAL";
    }
    void numberLine() {
        QFETCH(qint32, number);
        QFETCH(QString, line);
        const AppError e = PassThrough(AppError(number, QStringLiteral("x")), "m.p");
        QCOMPARE(Lines(e.Description).value(3), line);
    }

    void quietRange_data() {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<bool>("reported");
        QTest::newRow("below") << qint32(0x80041064) << true;
        QTest::newRow("first quiet") << qint32(0x80041065) << false;
        QTest::newRow("last quiet") << qint32(0x8004144D) << false;
        QTest::newRow("above") << qint32(0x8004144E) << true;
    }
    void quietRange() {
        QFETCH(qint32, number);
        QFETCH(bool, reported);
        const AppError raised(number, QStringLiteral("own text"), QStringLiteral("cRegistry"));
        // Two levels: a quiet error must stay quiet all the way up.
        const AppError e = PassThrough(PassThrough(raised, "a.b(x)", {1}), "c.d");
        QCOMPARE(e.Number, number);
        QCOMPARE(e.Description.contains(QStringLiteral("Call Stack")), reported);
        if (!reported) {
            QCOMPARE(e.Description, QStringLiteral("own text"));
            QCOMPARE(e.Source, QStringLiteral("cRegistry"));
        }
    }

    void apiErrorLine_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("shown");
        QTest::newRow("ENOENT") << ENOENT << true;
        QTest::newRow("none") << 0 << false;
        QTest::newRow("203") << 203 << false;
    }
    void apiErrorLine() {
        QFETCH(int, code);
        QFETCH(bool, shown);
        AppError raised(75, QStringLiteral("Path/File access error"));
        raised.LastDllError = code;
        const AppError e = PassThrough(raised, "m.p");
        QCOMPARE(e.Description.contains(QStringLiteral("  API Error: (")), shown);
        QCOMPARE(Lines(e.Description).size(), shown ? 8 : 7);
        // A system-call error carries the program's name as other errors do.
        QVERIFY(!TrapERR::AppName().isEmpty());
        QCOMPARE(Lines(e.Description)[4], QStringLiteral("  Source: %1 ").arg(TrapERR::AppName()));
    }

    void percentInValuesIsNotAFieldMarker() {
        const AppError e = PassThrough(
            AppError(5, QStringLiteral("100%Descr% %nl% done"), QStringLiteral("%App%")), "m.p(s)",
            {QStringLiteral("%Time%")});
        const QStringList lines = Lines(e.Description);
        QCOMPARE(lines[0], QStringLiteral("100%Descr% %nl% done "));
        QCOMPARE(lines[4], QStringLiteral("  Source: %App% "));
        QCOMPARE(lines[6], CallStack("m.p(s='%Time%')"));
    }

    void longValuesGoBelowTheCallStack() {
        const QString inline38(38, QLatin1Char('a'));
        const QString long39(39, QLatin1Char('b'));
        const AppError e = PassThrough(AppError(53, QStringLiteral("x")),
                                       "mUtility.MakeSND(sSourceFile,sDestFile)",
                                       {long39, QStringLiteral("l1\r\nl2")});
        const QStringList lines = Lines(e.Description);
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines[6], CallStack("mUtility.MakeSND(sSourceFile={Text}, sDestFile={Text})"));
        QCOMPARE(lines[7], QStringLiteral("    Value Of sSourceFile:"));
        QCOMPARE(lines[8], QStringLiteral("      '") + long39 + QLatin1Char('\''));
        QCOMPARE(lines[9], QStringLiteral("    Value Of sDestFile:"));
        QCOMPARE(lines[10], QStringLiteral("      'l1"));
        QCOMPARE(lines[11], QStringLiteral("      l2'"));

        const AppError shortOne =
            PassThrough(AppError(53, QStringLiteral("x")), "m.p(s)", {inline38});
        QCOMPARE(Lines(shortOne.Description).size(), 7);
        QCOMPARE(Lines(shortOne.Description)[6], CallStack("m.p(s='" + inline38 + "')"));
    }

    void oddTags() {
        const AppError cut = PassThrough(AppError(5, QStringLiteral("x")), "m.p(", {1});
        QCOMPARE(Lines(cut.Description)[6], CallStack("m.p(1)"));
        const AppError extra = PassThrough(AppError(5, QStringLiteral("x")), "m.p(a)", {1, 2});
        QCOMPARE(Lines(extra.Description)[6], CallStack("m.p(a=1, 2)"));
    }

    void valueTexts() {
        QObject object;
        const AppError e =
            PassThrough(AppError(5, QStringLiteral("x")), "m.p(a,b,c,d,e,f,g)",
                        TrapERR::Args(true, qint16(-1), 2.5, TrapERR::Empty(), TrapERR::Null(),
                                      QStringList{QStringLiteral("x")}, &object, QVariant()));
        QCOMPARE(Lines(e.Description)[6],
                 CallStack("m.p(a=True, b=-1, c=2" + QString(QLocale::system().decimalPoint()) +
                           "5, d={Empty}, e={Null}, f={Array}, g={QObject}, )"));
    }

    void lostInformationBecomesErrGeneral() {
        // Nothing is being handled: the error information is gone.
        const QString report = TrapERR::ErrorIn("m.p", {}, TrapERR::ComposeReport);
        QVERIFY(report.startsWith(
            QStringLiteral("ErrorIn: Error information was lost. To fix: call ErrPreserve before "
                           "doing anything in error handler. \r\n")));
        QVERIFY(report.contains(QStringLiteral("= ERR_GENERAL\r\n")));

        try {
            try {
                throw 42;
            } catch (...) {
                TrapERR::Trap("m.q");
            }
        } catch (const AppError& e) {
            QCOMPARE(e.Number, TrapERR::ERR_GENERAL);
        }
    }

    void preserveBeforeOtherWork() {
        // A handler that must clean up first keeps the original error.
        AppError e;
        try {
            try {
                throw AppError(61, QStringLiteral("Disk full"));
            } catch (...) {
                TrapERR::ErrPreserve();
                try {
                    throw std::runtime_error("cleanup failed");
                } catch (...) {
                    TrapERR::Trap("m.p");
                }
            }
        } catch (const AppError& caught) {
            e = caught;
        }
        QCOMPARE(e.Number, 61);
        QVERIFY(e.Description.startsWith(QStringLiteral("Disk full \r\n")));
    }

    void standardExceptionsGetClassicNumbers() {
        const auto numberOf = [](const std::function<void()>& thrower) {
            try {
                try {
                    thrower();
                } catch (...) {
                    TrapERR::Trap("m.p");
                }
            } catch (const AppError& e) {
                return e.Number;
            }
            return 0;
        };
        QCOMPARE(numberOf([] { throw std::bad_alloc(); }), 7);
        QCOMPARE(numberOf([] { throw std::system_error(ENOSPC, std::generic_category()); }), 61);
        QCOMPARE(numberOf([] { throw std::out_of_range("i"); }), 9);
        QCOMPARE(numberOf([] { throw std::logic_error("?"); }), TrapERR::ERR_GENERAL);
    }
};

QTEST_GUILESS_MAIN(tst_TrapERR)
#include "tst_TrapERR.moc"
