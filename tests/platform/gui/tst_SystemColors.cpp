#include <QGuiApplication>
#include <QTest>

#include "SystemColors.h"

class tst_SystemColors : public QObject {
    Q_OBJECT

private slots:
    void systemColorsComeFromThePalette() {
        QPalette palette;
        palette.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
        palette.setColor(QPalette::Active, QPalette::ButtonText, QColor(4, 5, 6));
        palette.setColor(QPalette::Active, QPalette::Highlight, QColor(7, 8, 9));
        QCOMPARE(zs::TranslateColor(0x8000000F, palette), QColor(1, 2, 3));  // button face
        QCOMPARE(zs::TranslateColor(0x80000012, palette), QColor(4, 5, 6));  // button text
        QCOMPARE(zs::TranslateColor(0x8000000D, palette), QColor(7, 8, 9));  // selection
        // An index past the table still gives a colour to paint with.
        QCOMPARE(zs::TranslateColor(0x800000FF, palette), palette.color(QPalette::Window));

        // Without a palette: the application's.
        QPalette app = QGuiApplication::palette();
        app.setColor(QPalette::Active, QPalette::Button, QColor(10, 20, 30));
        QGuiApplication::setPalette(app);
        QCOMPARE(zs::TranslateColor(0x8000000F), QColor(10, 20, 30));
    }

    void plainColorsAreRedGreenBlue() {
        QCOMPARE(zs::TranslateColor(0x00FF8040), QColor(0x40, 0x80, 0xFF));
        QCOMPARE(zs::TranslateColor(255), QColor(Qt::red));
        QCOMPARE(zs::ToOleColor(QColor(0x40, 0x80, 0xFF)), 0x00FF8040u);
        QCOMPARE(zs::ToOleColor(zs::TranslateColor(0x00123456)), 0x00123456u);
        QVERIFY(zs::IsSystemColor(0x80000005));
        QVERIFY(!zs::IsSystemColor(0x00FFFFFF));
    }
};

QTEST_MAIN(tst_SystemColors)
#include "tst_SystemColors.moc"
