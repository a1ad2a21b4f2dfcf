#include <QApplication>
#include <QTest>
#include <QWidget>
#include <cerrno>
#include <stdexcept>

#include "MsgBox.h"
#include "RunTopLevel.h"
#include "TrapERR.h"

class tst_RunTopLevel : public QObject {
    Q_OBJECT

    QList<MsgBox::Shown> shown_;

private slots:
    void init() {
        shown_.clear();
        MsgBox::SetResponder([this](const MsgBox::Shown& box) {
            shown_ << box;
            return QMessageBox::Ok;
        });
    }
    void cleanup() { MsgBox::SetResponder({}); }

    void responderAnswersInsteadOfAWindow() {
        MsgBox::SetResponder([this](const MsgBox::Shown& box) {
            shown_ << box;
            return QMessageBox::No;
        });
        QWidget parent;
        const auto answer = MsgBox::Show(&parent, QMessageBox::Question, "Title", "Are you sure?",
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        QCOMPARE(answer, QMessageBox::No);
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].parent, &parent);
        QCOMPARE(shown_[0].icon, QMessageBox::Question);
        QCOMPARE(shown_[0].text, QStringLiteral("Are you sure?"));
        QCOMPARE(shown_[0].buttons, QMessageBox::Yes | QMessageBox::No);
    }

    void trappedErrorIsShownAndTheProgramGoesOn() {
        int after = 0;
        const bool finished = zs::RunTopLevel(nullptr, [] {
            try {
                throw AppError::fromErrno(ENOENT, QStringLiteral("/x.snd"));
            }
            ZS_TRAP("frmMain.FileList_Click")
        });
        QVERIFY(!finished);
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].icon, QMessageBox::Critical);
        QCOMPARE(shown_[0].title, QCoreApplication::applicationName());
        QVERIFY(
            shown_[0].text.startsWith(QStringLiteral("Error 53\r\n\r\nFile not found: /x.snd")));
        QVERIFY(shown_[0].text.contains(QStringLiteral("Call Stack: frmMain.FileList_Click()")));

        // The next handler runs normally.
        QVERIFY(zs::RunTopLevel(nullptr, [&] { ++after; }));
        QCOMPARE(after, 1);
        QCOMPARE(shown_.size(), 1);
    }

    void foreignExceptionsAreShownToo() {
        zs::RunTopLevel(nullptr, [] { throw std::runtime_error("boom"); });
        zs::RunTopLevel(nullptr, [] { throw 5; });
        QCOMPARE(shown_.size(), 2);
        QVERIFY(shown_[0].text.startsWith(
            QStringLiteral("Error %1\r\n\r\nboom").arg(TrapERR::ERR_GENERAL)));
        QVERIFY(shown_[1].text.contains(QStringLiteral("Error information was lost")));
    }
};

QTEST_MAIN(tst_RunTopLevel)
#include "tst_RunTopLevel.moc"
