// Measures the preview of one game sound file for bench/preview.sh:
//   bench_preview copy SOURCE      time of the temporary copy alone
//   bench_preview open SOURCE      copy + window load, made side by side as the program
//                                  opens a preview (waveform drawn once); the copy stays
//   bench_preview draw SOURCE      waveform drawing alone (copy made first)
//   bench_preview play SOURCE SEC  open, then play for SEC seconds; CPU share
// The sound's shape is read from the file's 28-byte header. Prints key=value
// lines; timings in milliseconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QtEndian>
#include <cstdio>
#include <ctime>

#include "PreviewFile.h"
#include "SoundInfo.h"
#include "frmPreview.h"

namespace {

bool describe(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray h = f.read(28);
    if (h.size() != 28) return false;
    auto field = [&](int i) { return qFromLittleEndian<qint32>(h.constData() + 4 * i); };
    auto& si = mUtility::SoundInfo;
    si.DataLength = field(2);
    si.SampleRate = field(3);
    si.BitsPerSample = qint16(field(4));
    si.Channels = qint16(field(5));
    si.Extension = QStringLiteral("SND");
    si.FileName = QStringLiteral("BENCH.SND");
    return true;
}

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3 || !describe(argv[2])) {
        std::fprintf(stderr, "usage: bench_preview copy|open|draw|play SOURCE [SECONDS]\n");
        return 2;
    }
    const QString mode = argv[1];
    QElapsedTimer t;
    t.start();
    if (mode == "copy") {
        const QString copy = PreviewFile::Write(argv[2], mUtility::SoundInfo);
        std::printf("copy_ms=%lld\n", t.elapsed());
        QFile::remove(copy);
        return 0;
    }
    int rc = 0;
    {
        PreviewCopy copy(argv[2], mUtility::SoundInfo);
        mUtility::sPreviewFile = copy.Path();
        frmPreview form;
        form.show();
        form.LoadWhileCopying(copy);
        std::printf("open_ms=%lld\n", t.elapsed());
        // Form_Load drew the waveform once; opening does not draw it again.
        if (mode != "open") {
            t.restart();
            form.WaveGrapher(45, form.lNumSamples());
            std::printf("draw_ms=%lld\n", t.elapsed());
        }
        if (mode == "play") {
            const double seconds = argc > 3 ? atof(argv[3]) : 3.0;
            form.btnPlay_Click();
            const double cpu0 = cpuSeconds();
            t.restart();
            QTimer::singleShot(int(seconds * 1000), &app, &QApplication::quit);
            app.exec();
            const double wall = t.elapsed() / 1000.0;
            std::printf("play_cpu_percent=%.1f\n", 100 * (cpuSeconds() - cpu0) / wall);
            std::printf("marker=%d\n", form.lMarkerX());
        }
        // Opening is measured, not closing: the harness removes the copy, as it
        // removes cp's, outside the timing.
        if (mode == "open") mUtility::sPreviewFile.clear();
        form.close();
    }
    if (mode != "open") QFile::remove(mUtility::sPreviewFile);
    return rc;
}
