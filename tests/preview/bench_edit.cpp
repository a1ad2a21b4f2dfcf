// Measures editing in the preview for bench/edit.sh, on one game sound file:
// each edit as the window runs it (the edit, then the min/max summary of the
// new version), undo, a redraw of the zoomable view 1920 pixels wide at three
// zooms, and the resident memory after 50 edits.
//   bench_edit SOURCE
// Prints key=value lines; timings in milliseconds, memory in KiB.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>

#include "EditOperations.h"
#include "PreviewEditor.h"
#include "WaveView.h"

namespace {

double msSince(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

// The median of three runs of `run`, each after `before`.
template <class Before, class Run>
double median3(Before before, Run run) {
    double ms[3];
    for (double& m : ms) {
        before();
        QElapsedTimer t;
        t.start();
        run();
        m = msSince(t);
    }
    std::sort(std::begin(ms), std::end(ms));
    return ms[1];
}

qint64 residentKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_edit SOURCE\n");
        return 2;
    }
    PreviewEditor editor;
    QElapsedTimer load;
    load.start();
    editor.Load(QString::fromLocal8Bit(argv[1]));
    editor.Summary();
    std::printf("load_ms=%.1f\n", msSince(load));
    const qint64 frames = editor.Sound().Frames();
    const qint64 fade = 5 * qint64(editor.Rate());

    using namespace EditOperations;
    const std::pair<const char*, PreviewEditor::Operation> edits[] = {
        {"gain", [&](const EditedSound& s) { return Gain(s, 0, frames, -3); }},
        {"normalize", [&](const EditedSound& s) { return Normalize(s, 0, frames, -1); }},
        {"fade_in", [&](const EditedSound& s) { return FadeIn(s, 0, fade); }},
    };
    double worstUndo = 0;
    for (const auto& [name, op] : edits) {
        const double ms = median3([&] { editor.Undo(); },
                                  [&] {
                                      editor.Apply(QString::fromLatin1(name), op);
                                      editor.Summary();
                                  });
        std::printf("%s_ms=%.1f\n", name, ms);
        worstUndo = std::max(worstUndo, median3([&] { editor.Redo(); },
                                                [&] {
                                                    editor.Undo();
                                                    editor.Summary();
                                                }));
    }
    std::printf("undo_ms=%.1f\n", worstUndo);

    WaveView view;
    view.resize(1920, 600);
    view.setSound(&editor.Sound(), &editor.Summary(), editor.Rate());
    QImage image(view.size(), QImage::Format_RGB32);
    double worstDraw = 0;
    for (double zoom : {1.0, 64.0, 4096.0}) {
        view.fit();
        view.zoomCentred(zoom);
        worstDraw = std::max(worstDraw, median3([] {}, [&] { view.render(&image); }));
    }
    std::printf("redraw_1920_ms=%.1f\n", worstDraw);

    // 50 edits as a user might make them: on stretches and on the whole sound.
    for (int i = 0; i < 50; ++i) {
        const qint64 first = (frames / 60) * i, count = frames / 10;
        editor.Apply(QStringLiteral("Edit"), [&](const EditedSound& s) {
            switch (i % 4) {
                case 0:
                    return Gain(s, first, count, -1);
                case 1:
                    return FadeOut(s, first, count);
                case 2:
                    return Silence(s, first, count / 10);
                default:
                    return Gain(s, 0, s.Frames(), 0.5);
            }
        });
        editor.Summary();
    }
    std::printf("rss_after_50_kib=%lld\n", residentKiB());
    return 0;
}
