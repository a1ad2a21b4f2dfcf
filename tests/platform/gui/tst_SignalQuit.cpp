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
// temporary file owned by that code is removed.
class tst_SignalQuit : public QObject {
    Q_OBJECT

private slots:
    void signalEndsEveryLoopAndUnwinds() {
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
                ::kill(::getpid(), SIGTERM);
            });
            dialogResult = dialog.exec();
            file.remove();
        });
        const int status = QCoreApplication::exec();
        QVERIFY(dialogWasOpen);
        QCOMPARE(status, 128 + SIGTERM);
        QCOMPARE(SignalQuit::Received(), SIGTERM);
        QCOMPARE(dialogResult, int(QDialog::Rejected));
        QVERIFY(!QFile::exists(temporary));
    }
};

QTEST_MAIN(tst_SignalQuit)
#include "tst_SignalQuit.moc"
