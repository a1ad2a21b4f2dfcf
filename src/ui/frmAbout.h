#pragma once

#include <QDialog>

class QLabel;
class QuillonButton;

// The About box: title, version, copyright and a short description.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

    // The program's picture: a stylised waveform drawn for this box.
    static QPixmap Picture(const QSize& size);

private:
    void Form_Load();

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QuillonButton* btnOK = nullptr;
};
