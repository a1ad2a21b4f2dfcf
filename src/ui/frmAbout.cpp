#include "frmAbout.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <cmath>

#include "QuillonButton.h"
#include "RunTopLevel.h"
#include "TrapERR.h"
#include "WindowSize.h"
#include "ZephyraVersion.h"

namespace {

const QString MainCaption = QStringLiteral("Zephyrion Sound Utility (XP Edition)");

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    lblTitle = new QLabel(this);
    lblTitle->setObjectName("lblTitle");
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel(this);
    lblVersion->setObjectName("lblVersion");
    lblCopyright = new QLabel(this);
    lblCopyright->setObjectName("lblCopyright");

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(Picture(QSize(160, 160)));
    Image1->setAccessibleName(tr("Program picture"));

    auto* Picture1 = new QFrame(this);
    Picture1->setObjectName("Picture1");
    Picture1->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(Picture1);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    Label1->setText(
        "Description:  This program will allow you to convert Zephyra sound files between "
        ".SND/.WSD and .WAV formats.\n\n"
        "It is free: you may use it and pass it on to others as you like. Questions and "
        "suggestions are welcome through the project's issue tracker.");
    (new QVBoxLayout(Picture1))->addWidget(Label1);

    btnOK = new QuillonButton(this);
    btnOK->setObjectName("btnOK");
    QuillonButton::ApplyProgramLook(btnOK);
    btnOK->setCaption("OK");
    btnOK->setDefault(true);
    connect(btnOK, &QuillonButton::Click, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addWidget(lblCopyright);
    text->addWidget(Picture1, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    resize(520, 280);
    WindowSize::Keep(this, QStringLiteral("frmAbout"));

    zs::RunTopLevel(this, [this] { Form_Load(); });
}

void frmAbout::Form_Load() {
    try {
        setWindowTitle("About " + MainCaption);
        lblTitle->setText(MainCaption);
        lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                                .arg(ZephyraVersion::Major)
                                .arg(ZephyraVersion::Minor)
                                .arg(ZephyraVersion::Patch));
        lblCopyright->setText(QStringLiteral("Copyright \u00A9 Brellin Software"));
    }
    ZS_TRAP("frmAbout.Form_Load")
}

QPixmap frmAbout::Picture(const QSize& size) {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(QPointF(0, 0), size).adjusted(2, 2, -2, -2);

    QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
    sky.setColorAt(0, QColor(28, 52, 104));
    sky.setColorAt(1, QColor(70, 130, 200));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sky);
    painter.drawRoundedRect(frame, 14, 14);

    // Two channels of a decaying tone, as the preview draws them.
    for (int channel = 0; channel < 2; ++channel) {
        const double middle = frame.top() + frame.height() * (channel == 0 ? 0.33 : 0.7);
        const double amplitude = frame.height() * 0.14;
        QPainterPath wave;
        for (int x = 0; x <= int(frame.width()) - 16; ++x) {
            const double t = x / (frame.width() - 16);
            const double y = middle - amplitude * std::exp(-2.2 * t) *
                                          std::sin(t * (channel == 0 ? 38.0 : 29.0));
            const QPointF point(frame.left() + 8 + x, y);
            x == 0 ? wave.moveTo(point) : wave.lineTo(point);
        }
        painter.setPen(QPen(channel == 0 ? QColor(120, 255, 160) : QColor(255, 214, 110), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(wave);
    }
    return picture;
}
