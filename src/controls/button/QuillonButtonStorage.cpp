// QuillonButton's stored settings: names, order and defaults of the stored set.
#include <QFile>
#include <QPixmap>

#include "Ambient.h"
#include "PropertyBag.h"
#include "QuillonButton.h"

namespace {

// An enumerated value read from a stored set; anything out of range is the default.
int InRange(const PropertyBag& bag, const char* name, int low, int high, int defaultValue) {
    const int v = bag.Read<int>(QString::fromLatin1(name), defaultValue);
    return (v < low || v > high) ? defaultValue : v;
}

}  // namespace

void QuillonButton::ReadProperties(const PropertyBag& bag) {
    newlyPlaced_ = false;
    const bool wasSuspended = suspended_;
    suspended_ = true;
    const QString caption = bag.Read<QString>("Caption", QString());
    captionAlign_ = InRange(bag, "CapAlign", 0, 2, 2);
    style_ = InRange(bag, "BackStyle", 0, 7, 0);
    shape_ = InRange(bag, "Shape", 0, 6, 0);
    gradientMode_ = InRange(bag, "Gradient", 0, 4, 0);
    gradientColor_ = bag.Read<quint32>("cGradient", kButtonFace);
    foreColor_ = bag.Read<quint32>("cFore", kButtonText);
    setFont(bag.Read<QFont>("Font", font()));
    showFocusRect_ = bag.Read<bool>("Focus", true);
    if (mode_ == 2) LeaveGroup();
    mode_ = InRange(bag, "Mode", 0, 2, 0);
    value_ = mode_ != 0 && bag.Read<bool>("Value", false);
    picture_ = bag.Read<QPixmap>("Image", QPixmap());
    const int px = bag.Read<int>("ImgSize", 16);
    pictureSizePx_ = (px >= 16 && px <= 48 && px % 8 == 0) ? px : 16;
    pictureAlign_ = InRange(bag, "ImgAlign", 0, 5, 0);
    hoverForeColor_ = bag.Read<quint32>("cFHover", kButtonText);
    setEnabled(bag.Read<bool>("Enabled", true));
    backColor_ = bag.Read<quint32>("cBack", Ambient::BackColor(this));
    hoverBackColor_ = bag.Read<quint32>("cBHover", backColor_);
    hoverLocks_ = InRange(bag, "LockHover", 0, 3, 0);
    captionStyle_ = InRange(bag, "CapStyle", 0, 2, 0);
    mouseIcon_ = bag.Read<QPixmap>("mIcon", QPixmap());
    setMousePointer(bag.Read<int>("mPointer", 0));
    setCaption(caption);
    if (mode_ == 2) JoinGroup();
    suspended_ = wasSuspended;
    Reshape();
}

void QuillonButton::WriteProperties(PropertyBag& bag) const {
    const auto pixmap = [](const QPixmap& p) { return p.isNull() ? QVariant() : QVariant(p); };
    bag.WriteProperty("Caption", caption_, QString());
    bag.WriteProperty("CapAlign", captionAlign_, 2);
    bag.WriteProperty("BackStyle", style_, 0);
    bag.WriteProperty("Shape", shape_, 0);
    bag.WriteProperty("Gradient", gradientMode_, 0);
    bag.WriteProperty("cGradient", gradientColor_, kButtonFace);
    bag.WriteProperty("cFore", foreColor_, kButtonText);
    bag.WriteProperty("Font", font(), Ambient::Font(this));
    bag.WriteProperty("Focus", showFocusRect_, true);
    bag.WriteProperty("Mode", mode_);
    bag.WriteProperty("Value", value_);
    bag.WriteProperty("Image", pixmap(picture_));
    bag.WriteProperty("ImgSize", qint16(pictureSizePx_), qint16(16));
    bag.WriteProperty("ImgAlign", pictureAlign_, 0);
    bag.WriteProperty("cFHover", hoverForeColor_, kButtonText);
    bag.WriteProperty("Enabled", isEnabled(), true);
    bag.WriteProperty("cBack", backColor_);
    bag.WriteProperty("cBHover", hoverBackColor_, backColor_);
    bag.WriteProperty("LockHover", hoverLocks_, 0);
    bag.WriteProperty("CapStyle", captionStyle_, 0);
    bag.WriteProperty("mIcon", pixmap(mouseIcon_));
    bag.WriteProperty("mPointer", qint16(mousePointer_), qint16(0));
}

void QuillonButton::ApplyLook(const PropertyBag& bag) {
    DelayDrawing(true);
    // Colours before the locks, so that the locks decide what the hover colours end as.
    const std::pair<const char*, const char*> kLook[] = {
        {"BackStyle", "ButtonStyle"},     {"Shape", "ButtonShape"},
        {"Gradient", "GradientMode"},     {"cGradient", "GradientColor"},
        {"cFore", "ForeColor"},           {"Font", "Font"},
        {"Focus", "ShowFocusRect"},       {"cFHover", "HoverForeColor"},
        {"cBack", "BackColor"},           {"cBHover", "HoverBackColor"},
        {"LockHover", "HoverColorLocks"}, {"CapStyle", "CaptionStyle"}};
    for (const auto& [stored, property] : kLook) {
        if (!bag.Contains(QString::fromLatin1(stored))) continue;
        const QVariant current = this->property(property);
        setProperty(property, bag.ReadProperty(QString::fromLatin1(stored), current));
    }
    DelayDrawing(false);
}

bool QuillonButton::ApplyProgramLook(QuillonButton* button) {
    Q_INIT_RESOURCE(button);
    QFile file(QStringLiteral(":/button/program.props"));
    if (!button || !file.open(QIODevice::ReadOnly)) return false;
    const auto bag = PropertyBag::FromText(QString::fromUtf8(file.readAll()));
    if (!bag) return false;
    button->ApplyLook(*bag);
    return true;
}
