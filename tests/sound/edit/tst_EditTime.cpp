#include <QtTest>

#include "EditTime.h"

// Typed times, ranges and lengths against a sound, above all the numbers far
// outside it: nothing may wrap into a frame within it.
class tst_EditTime : public QObject {
    Q_OBJECT

private slots:
    void forms_data();
    void forms();
    void ranges_data();
    void ranges();
    void lengths_data();
    void lengths();
};

void tst_EditTime::forms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("seconds");  // read as cut's --from and --to take it
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("frameAt1000Hz");  // the frame it falls on at 1000 frames/s
    const struct {
        const char* text;
        bool seconds, accepted;
        double frame;
    } rows[] = {
        {"0", false, true, 0},       {"007", false, true, 7},     {"1.5s", false, true, 1500},
        {".5s", false, true, 500},   {"2.s", false, true, 2000},  {"250ms", false, true, 250},
        {"0.0004s", false, true, 0}, {"0.0005s", false, true, 1},  // rounded half away
        {"1.5", true, true, 1500},   {"1", true, true, 1000},     {"", false, false, 0},
        {"-1", false, false, 0},     {"+1", false, false, 0},     {"1e3", false, false, 0},
        {"1e3s", false, false, 0},   {" 1", false, false, 0},     {"1 ", false, false, 0},
        {"nan", false, false, 0},    {"NaNs", false, false, 0},   {"infs", false, false, 0},
        {"1.5", false, false, 0},    {"10x", false, false, 0},    {"10ss", false, false, 0},
        {"1,5s", false, false, 0},   {"0x10", false, false, 0},   {"s", false, false, 0},
        {".s", false, false, 0},     {"1.2.3s", false, false, 0}, {"\u0663", false, false, 0},
        {"1.5s", true, false, 0},    {"1e16", true, false, 0},    {"-0.5", true, false, 0},
        {"inf", true, false, 0},     {"", true, false, 0},
    };
    for (const auto& r : rows)
        QTest::addRow("%s%s", r.seconds ? "seconds " : "", r.text)
            << QString::fromUtf8(r.text) << r.seconds << r.accepted << r.frame;
}

void tst_EditTime::forms() {
    QFETCH(QString, text);
    QFETCH(bool, seconds);
    QFETCH(bool, accepted);
    QFETCH(double, frameAt1000Hz);
    const std::optional<EditTime> t =
        seconds ? EditTime::ParseSeconds(text) : EditTime::Parse(text);
    QCOMPARE(t.has_value(), accepted);
    if (accepted)
        QCOMPARE(t->FrameUpTo(1000, 1 << 20), std::optional<qint64>(qint64(frameAt1000Hz)));
}

void tst_EditTime::ranges_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<qint64>("frames");  // of the sound, at 22050 frames/s
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("problem");  // a part of the message; "" for a range
    const QString past = "is past the end: the sound has frames 0 to 44099";
    const QString none = "an edit needs at least one frame";
    const struct {
        const char *a, *b;
        qint64 frames, first, count;
        QString problem;
    } rows[] = {
        {"0", "99", 44100, 0, 100, ""},
        {"0.1s", "200ms", 44100, 2205, 2205, ""},  // 2205 up to 4410, excluded
        {"0", "44099", 44100, 0, 44100, ""},
        {"44099", "44099", 44100, 44099, 1, ""},
        {"0", "2s", 44100, 0, 44100, ""},  // a time may end the range at the end
        {"0", "0", 1, 0, 1, ""},
        {"0", "44100", 44100, 0, 0, "44100 " + past},
        {"44100", "44100", 44100, 0, 0, "44100 " + past},
        {"0", "2.0001s", 44100, 0, 0, "2.0001s " + past},
        {"2s", "2s", 44100, 0, 0, "2s " + past},
        {"900000000000000s", "10", 44100, 0, 0, "900000000000000s " + past},
        {"500000000000000s", "99", 44100, 0, 0, "500000000000000s " + past},
        {"0", "9223372036854775807", 44100, 0, 0, "9223372036854775807 " + past},
        {"0", "9223372036854775808", 44100, 0, 0, "9223372036854775808 " + past},
        {"18446744073709551617", "1", 44100, 0, 0, "18446744073709551617 " + past},
        {"0", "418244000000000000ms", 44100, 0, 0, "418244000000000000ms " + past},
        {"9", "3", 44100, 0, 0, "the range 9 to 3 ends before it begins"},
        {"1s", "1s", 44100, 0, 0, "the range 1s to 1s holds no frames"},
        {"1s", "22049", 44100, 0, 0, "the range 1s to 22049 ends before it begins"},
        {"0", "0", 0, 0, 0, none},
        {"0", "1s", 0, 0, 0, none},
    };
    for (const auto& r : rows)
        QTest::addRow("%s:%s of %lld", r.a, r.b, r.frames)
            << QString(r.a) << QString(r.b) << r.frames << r.first << r.count << r.problem;
    // A number of digits no double holds is as far past the end as any.
    QTest::addRow("400 digits") << "0"
                                << "9" + QString(400, '9') + "s" << qint64(44100) << qint64(0)
                                << qint64(0) << past;
}

void tst_EditTime::ranges() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(qint64, frames);
    QFETCH(qint64, first);
    QFETCH(qint64, count);
    QFETCH(QString, problem);
    const std::optional<EditTime> ta = EditTime::Parse(a), tb = EditTime::Parse(b);
    QVERIFY(ta && tb);
    const FrameSpan span = EditSpan::Range(*ta, *tb, 22050, frames);
    if (problem.isEmpty()) {
        QVERIFY2(span.problem.isEmpty(), qPrintable(span.problem));
        QCOMPARE(span.first, first);
        QCOMPARE(span.count, count);
    } else {
        QVERIFY2(span.problem.contains(problem), qPrintable(span.problem));
    }
}

void tst_EditTime::lengths_data() {
    QTest::addColumn<QString>("t");
    QTest::addColumn<qint64>("limit");  // of a sound of 44100 frames at 22050 frames/s
    QTest::addColumn<qint64>("count");  // -1: refused
    QTest::addRow("frames") << "1000" << qint64(44100) << qint64(1000);
    QTest::addRow("all of it") << "2s" << qint64(44100) << qint64(44100);
    QTest::addRow("50 ms, rounded") << "50ms" << qint64(44100) << qint64(1103);  // 1102.5
    QTest::addRow("half") << "1s" << qint64(22050) << qint64(22050);
    QTest::addRow("one past half") << "22051" << qint64(22050) << qint64(-1);
    QTest::addRow("longer") << "44101" << qint64(44100) << qint64(-1);
    QTest::addRow("zero") << "0" << qint64(44100) << qint64(-1);
    QTest::addRow("rounds to zero") << "0.00001ms" << qint64(44100) << qint64(-1);
    QTest::addRow("huge") << "99999999999999999999ms" << qint64(44100) << qint64(-1);
    QTest::addRow("past int64") << "9223372036854775808" << qint64(44100) << qint64(-1);
}

void tst_EditTime::lengths() {
    QFETCH(QString, t);
    QFETCH(qint64, limit);
    QFETCH(qint64, count);
    const std::optional<EditTime> time = EditTime::Parse(t);
    QVERIFY(time);
    const FrameSpan span = EditSpan::Length(*time, 22050, limit, 44100);
    QCOMPARE(span.problem.isEmpty(), count >= 0);
    if (count >= 0) QCOMPARE(span.count, count);
}

QTEST_GUILESS_MAIN(tst_EditTime)
#include "tst_EditTime.moc"
