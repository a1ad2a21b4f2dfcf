#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>

#include "SignalQuit.h"

// A real signal to this process while a modal dialog runs its own loop: every
// loop returns with 128 + signal and the code after exec() still runs, so a
// temporary file owned by that code is removed. Not only INT, TERM and HUP:
// any signal that would otherwise end the process at once.
class tst_SignalQuit : public QObject {
    Q_OBJECT

private slots:
    void signalEndsEveryLoopAndUnwinds_data() {
        QTest::addColumn<int>("sig");
        for (const int sig : {SIGTERM, SIGQUIT, SIGUSR1, SIGPIPE, SIGALRM, SIGXFSZ})
            QTest::newRow(sigabbrev_np(sig)) << sig;
        QTest::newRow("real-time") << SIGRTMIN + 1;
    }

    void signalEndsEveryLoopAndUnwinds() {
        QFETCH(int, sig);
        QTemporaryDir dir;
        const QString temporary = dir.filePath("preview.wav");
        SignalQuit::Install();
        int dialogResult = -1;
        bool dialogWasOpen = false;
        QTimer::singleShot(0, [&] {
            QFile file(temporary);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QDialog dialog;
            QTimer::singleShot(50, [&] {
                dialogWasOpen = dialog.isVisible();
                ::kill(::getpid(), sig);
            });
            dialogResult = dialog.exec();
            file.remove();
        });
        const int status = QCoreApplication::exec();
        QVERIFY(dialogWasOpen);
        QCOMPARE(status, 128 + sig);
        QCOMPARE(SignalQuit::Received(), sig);
        QCOMPARE(dialogResult, int(QDialog::Rejected));
        QVERIFY(!QFile::exists(temporary));
    }
};

QTEST_MAIN(tst_SignalQuit)
#include "tst_SignalQuit.moc"
