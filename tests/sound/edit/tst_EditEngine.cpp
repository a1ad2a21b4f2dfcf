#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "EditHistory.h"
#include "EditOperations.h"
#include "SummaryCheck.h"
#include "WaveSummary.h"

namespace {

// The sound as a plain list of values, edited the obvious way.
struct Model {
    std::vector<int> v;
    int ch = 1;
    int lo = -32768, hi = 32767;

    qint64 Frames() const { return qint64(v.size()) / ch; }
    int& At(qint64 f, int c) { return v[size_t(f * ch + c)]; }
    void Set(qint64 f, int c, double x) {
        At(f, c) = int(std::clamp(std::nearbyint(x), double(lo), double(hi)));
    }
    void Erase(qint64 first, qint64 count) {
        v.erase(v.begin() + first * ch, v.begin() + (first + count) * ch);
    }
    void Keep(qint64 first, qint64 count) {
        v = std::vector<int>(v.begin() + first * ch, v.begin() + (first + count) * ch);
    }
};

struct Edit {
    QString name;
    EditOperations::Result result;
};

// One random edit on `s` and the same on `m`.
Edit RandomEdit(QRandomGenerator& rng, const EditedSound& s, Model& m) {
    using namespace EditOperations;
    const qint64 frames = s.Frames();
    const qint64 first = rng.bounded(frames);
    const qint64 count = 1 + rng.bounded(frames - first);
    switch (rng.bounded(frames > 200 ? 9 : 7)) {
        case 0: {
            const double dB = rng.bounded(24.0) - 12;
            const double g = std::pow(10.0, dB / 20);
            for (qint64 f = first; f < first + count; ++f)
                for (int c = 0; c < m.ch; ++c) m.Set(f, c, m.At(f, c) * g);
            return {"Gain", Gain(s, first, count, dB)};
        }
        case 1:
            for (qint64 k = 0; k < count; ++k)
                for (int c = 0; c < m.ch; ++c)
                    m.Set(first + k, c, m.At(first + k, c) * (double(k) / count));
            return {"Fade In", FadeIn(s, first, count)};
        case 2:
            for (qint64 k = 0; k < count; ++k)
                for (int c = 0; c < m.ch; ++c)
                    m.Set(first + k, c, m.At(first + k, c) * (double(count - 1 - k) / count));
            return {"Fade Out", FadeOut(s, first, count)};
        case 3:
            for (qint64 f = first; f < first + count; ++f)
                for (int c = 0; c < m.ch; ++c) m.At(f, c) = 0;
            return {"Silence", Silence(s, first, count)};
        case 4:
            for (int c = 0; c < m.ch; ++c) {
                double sum = 0;
                for (qint64 f = first; f < first + count; ++f) sum += m.At(f, c);
                for (qint64 f = first; f < first + count; ++f)
                    m.Set(f, c, m.At(f, c) - sum / count);
            }
            return {"Remove DC Offset", RemoveDC(s, first, count)};
        case 5:
            if (count == frames) break;  // keep something to edit
            m.Erase(first, count);
            return {"Delete", Delete(s, first, count)};
        case 6:
            m.Keep(first, count);
            return {"Crop", Crop(s, first, count)};
        default: {
            const qint64 n = 1 + rng.bounded(frames / 2);
            const Model old = m;
            m.Keep(n, frames - 2 * n);  // the middle stays as it was
            m.v.insert(m.v.begin(), size_t(n * m.ch), 0);
            for (qint64 k = 0; k < n; ++k)
                for (int c = 0; c < m.ch; ++c)
                    m.Set(k, c,
                          old.v[size_t(k * m.ch + c)] * (double(k) / n) +
                              old.v[size_t((frames - n + k) * m.ch + c)] * (1 - double(k) / n));
            return {"Make Seamless Loop", MakeSeamlessLoop(s, n)};
        }
    }
    return {"Gain", Gain(s, 0, frames, 0)};
}

}  // namespace

class tst_EditEngine : public QObject {
    Q_OBJECT

private slots:
    void undoRedoFollowsTheModel_data();
    void undoRedoFollowsTheModel();
    void summaryKeepsEveryPeak();
    void editsShareTheOriginalSamples();
    void zeroCrossings();
};

void tst_EditEngine::undoRedoFollowsTheModel_data() {
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("channels");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("16-bit stereo") << 16 << 2 << 1u;
    QTest::newRow("16-bit mono") << 16 << 1 << 2u;
    QTest::newRow("8-bit mono") << 8 << 1 << 3u;
    QTest::newRow("8-bit stereo") << 8 << 2 << 4u;
}

// A random walk of edits, undos and redos: the history's current version is
// always, sample for sample, the model's, and names the edit it would undo.
// The summary made from the one before each edit is the summary of the samples.
void tst_EditEngine::undoRedoFollowsTheModel() {
    QFETCH(int, bits);
    QFETCH(int, channels);
    QFETCH(quint32, seed);
    QRandomGenerator rng(seed);
    const SampleFormat format{bits, channels};
    Model start{{}, channels, format.MinValue(), format.MaxValue()};
    for (int i = 0; i < 3000 * channels; ++i)
        start.v.push_back(int(rng.bounded(format.MaxValue() - format.MinValue() + 1)) +
                          format.MinValue());
    EditHistory history(EditedSound(format, std::vector<qint16>(start.v.begin(), start.v.end())));
    std::vector<Model> models{start};
    std::vector<QString> names{QString()};
    size_t at = 0;
    for (int step = 0; step < 300; ++step) {
        const int action = rng.bounded(10);
        if (action < 2) {
            QCOMPARE(history.Undo(), at > 0);
            if (at > 0) --at;
        } else if (action < 3) {
            QCOMPARE(history.Redo(), at + 1 < models.size());
            if (at + 1 < models.size()) ++at;
        } else {
            Model m = models[at];
            const EditedSound before = history.Current();
            Edit e = RandomEdit(rng, before, m);
            const WaveSummary derived(e.result.sound, WaveSummary(before), before);
            QVERIFY2(SameBuckets(derived, e.result.sound), qPrintable(e.name));
            history.Push(e.name, std::move(e.result.sound));
            models.resize(++at);
            names.resize(at);
            models.push_back(m);
            names.push_back(e.name);
        }
        const std::vector<qint16> got = history.Current().ReadAll();
        const std::vector<int>& want = models[at].v;
        QVERIFY2(std::equal(got.begin(), got.end(), want.begin(), want.end()),
                 qPrintable(QString("step %1 after %2").arg(step).arg(names[at])));
        QCOMPARE(history.UndoName(), names[at]);
        QCOMPARE(history.RedoName(), at + 1 < names.size() ? names[at + 1] : QString());
    }
    history.MarkClean();
    QVERIFY(history.IsClean());
    if (history.Undo()) {
        QVERIFY(!history.IsClean());
        history.Redo();
        QVERIFY(history.IsClean());
    }
}

// Every span's extremes equal those of the samples it covers, across bucket
// edges, whole fine and coarse buckets and the sound's end.
void tst_EditEngine::summaryKeepsEveryPeak() {
    QRandomGenerator rng(7);
    std::vector<qint16> v(size_t(2 * 300000));
    for (auto& x : v) x = qint16(int(rng.bounded(2001)) - 1000);
    v[2 * 131071] = 32767;  // lone peaks, one per channel
    v[2 * 200000 + 1] = -32768;
    const EditedSound s = EditOperations::Gain(EditedSound({16, 2}, v), 1000, 5000, 6).sound;
    const std::vector<qint16> all = s.ReadAll();
    const WaveSummary summary(s);
    for (int i = 0; i < 400; ++i) {
        const qint64 first = rng.bounded(300000);
        const qint64 end = first + rng.bounded(i < 200 ? 600 : 300000 - first + 1);
        const int c = i % 2;
        qint16 lo = 32767, hi = -32768;
        for (qint64 f = first; f < std::min<qint64>(end, 300000); ++f) {
            lo = std::min(lo, all[size_t(2 * f + c)]);
            hi = std::max(hi, all[size_t(2 * f + c)]);
        }
        const WaveSummary::Range r = summary.Span(s, c, first, end);
        if (end <= first) continue;
        QVERIFY2(r.min == lo && r.max == hi, qPrintable(QString("%1..%2").arg(first).arg(end)));
    }
    // Made from this summary: louder (clipping the peaks), on a stretch, and
    // after a fade, each as read from the samples.
    using namespace EditOperations;
    for (const EditedSound& after :
         {Gain(s, 0, s.Frames(), 6).sound, Gain(s, 777, 150000, 20).sound,
          Gain(s, 1000, 5000, -3).sound, FadeIn(s, 70000, 9000).sound, Silence(s, 5, 3).sound})
        QVERIFY(SameBuckets(WaveSummary(after, summary, s), after));
}

// Fifty edits of the whole sound keep one copy of its samples.
void tst_EditEngine::editsShareTheOriginalSamples() {
    EditHistory history(EditedSound({16, 2}, std::vector<qint16>(2 * 100000, 1000)));
    const qint64 original = history.Current().BlockBytes();
    for (int i = 0; i < 50; ++i) {
        const EditedSound& s = history.Current();
        const auto r = i % 2 ? EditOperations::Gain(s, 0, s.Frames(), -0.5)
                             : EditOperations::FadeOut(s, 10, s.Frames() - 10);
        history.Push(QStringLiteral("Gain"), r.sound);
    }
    QCOMPARE(history.Current().BlockBytes(), original);
    QVERIFY(history.Current().Segments().size() <= 3);
}

void tst_EditEngine::zeroCrossings() {
    const EditedSound s({16, 1}, {5, 4, 3, -2, -6, -7, 8, 9, 0, 4});
    const struct {
        qint64 frame, radius, expected;
    } cases[] = {{1, 5, 3}, {4, 1, 3}, {5, 1, 6}, {0, 1, 0}, {8, 0, 8}, {9, 0, 9}};
    for (const auto& c : cases)
        QCOMPARE(EditOperations::NearestZeroCrossing(s, c.frame, c.radius), c.expected);
}

QTEST_GUILESS_MAIN(tst_EditEngine)
#include "tst_EditEngine.moc"
