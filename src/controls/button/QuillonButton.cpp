#include "QuillonButton.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <algorithm>

#include "Ambient.h"
#include "ButtonGeometry.h"
#include "ButtonPainter.h"
#include "MsgBox.h"
#include "OptionGroup.h"
#include "QuillonButtonAccessible.h"
#include "SystemColors.h"

using zs::button::Rgb;

namespace {

constexpr int kHoverIntervalMs = 50;

}  // namespace

QuillonButton::QuillonButton(QWidget* parent) : QWidget(parent) {
    Init();
}

QuillonButton::QuillonButton(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    Init();
}

void QuillonButton::Init() {
    QuillonButtonAccessible::Install();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hoverTimer_.setInterval(kHoverIntervalMs);
    connect(&hoverTimer_, &QTimer::timeout, this, &QuillonButton::HoverCheck);
    caption_ = objectName();
    connect(this, &QObject::objectNameChanged, this, [this](const QString& name) {
        if (captionFollowsName_) {
            setCaption(name);
            captionFollowsName_ = true;
        }
    });
    resize(75, 23);
    // A newly placed button asks its host to store its first settings; the
    // host connects after construction, so the notice waits for the event loop.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!newlyPlaced_) return;
            for (const char* name : {"Caption", "CapAlign", "Focus", "cFHover", "cBHover"})
                Changed(name);
        },
        Qt::QueuedConnection);
}

QuillonButton::~QuillonButton() {
    // ~QWidget moves the focus away from a focused button, and the focus
    // notice must not reach this half-destroyed default button.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    hoverTimer_.stop();
    LeaveGroup();
}

// ---- properties -------------------------------------------------------------

void QuillonButton::Changed(const char* storedName) {
    emit PropertyChanged(QString::fromLatin1(storedName));
}

bool QuillonButton::UserMode() const {
    return Ambient::UserMode(this);
}

void QuillonButton::DesignMessage(const QString& text, const QString& title) {
    if (UserMode()) return;
    MsgBox::Show(this, QMessageBox::Information,
                 title.isEmpty() ? QCoreApplication::applicationName() : title, text);
}

Rgb QuillonButton::Resolve(quint32 color) const {
    return zs::button::FromQColor(zs::TranslateColor(color, palette()));
}

Rgb QuillonButton::FaceOrGradient() const {
    return Resolve(gradientMode_ != 0 ? gradientColor_ : backColor_);
}

void QuillonButton::setButtonStyle(int style) {
    if (style < 0 || style > 7 || style == style_) return;
    style_ = style;
    Reshape();
    Changed("BackStyle");
}

void QuillonButton::setMode(int mode) {
    if (mode < 0 || mode > 2 || mode == mode_) return;
    if (mode_ == 2) LeaveGroup();
    if (mode == 0) value_ = false;
    mode_ = mode;
    if (mode_ == 2) JoinGroup();
    if (QAccessible::isActive()) {
        QAccessibleEvent ev(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&ev);
    }
    UpdateShortcuts();
    Redraw();
    Changed("Mode");
}

void QuillonButton::setValue(bool value) {
    if (value && mode_ == 0) {
        DesignMessage(tr("This property is not applicable for command button modes."));
        return;
    }
    if (value == value_) return;
    value_ = value;
    if (value_ && mode_ == 2) OptionGroup::ClearOthers(groupContainer_, this);
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent ev(this, changed);
        QAccessible::updateAccessibility(&ev);
    }
    Redraw();
    Changed("Value");
}

void QuillonButton::setCaption(const QString& caption) {
    captionFollowsName_ = false;
    accessKey_ = QChar();
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] == u'&') {
            ++i;
        } else {
            accessKey_ = caption[i + 1].toUpper();
        }
    }
    caption_ = caption;
    updateGeometry();
    UpdateShortcuts();
    if (QAccessible::isActive()) {
        QAccessibleEvent ev(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&ev);
    }
    Redraw();
    Changed("Caption");
}

QSize QuillonButton::sizeHint() const {
    const QFontMetrics metrics(font());
    int width = metrics.horizontalAdvance(zs::button::DisplayCaption(caption_)) + 24;
    int height = metrics.height() + 12;
    if (!picture_.isNull()) {
        width += pictureSizePx_ + 4;
        height = std::max(height, pictureSizePx_ + 8);
    }
    return QSize(std::max(width, 81), std::max(height, 25));
}

QSize QuillonButton::minimumSizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(std::max(metrics.horizontalAdvance(zs::button::DisplayCaption(caption_)) + 8, 24),
                 std::max(metrics.height() + 4, 20));
}

QString QuillonButton::PlainCaption() const {
    QString out;
    for (int i = 0; i < caption_.size(); ++i) {
        const QChar c = caption_[i];
        const bool hasNext = i + 1 < caption_.size();
        if (c == u'&') {
            if (hasNext && caption_[i + 1] == u'&') {
                out += u'&';
                ++i;
            }
        } else if (c == u'|' && hasNext && caption_[i + 1] == u'|') {
            out += u' ';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

void QuillonButton::setCaptionAlign(int align) {
    if (align < 0 || align > 2) return;
    if (align != 2 && !picture_.isNull() && (pictureAlign_ == 4 || pictureAlign_ == 5)) {
        DesignMessage(tr("When button images are aligned top/bottom center, ") + u'\n' +
                      tr("button captions can only be center aligned"));
        return;
    }
    captionAlign_ = align;
    Redraw();
    Changed("CapAlign");
}

void QuillonButton::setCaptionStyle(int style) {
    if (style < 0 || style > 2) return;
    captionStyle_ = style;
    if (!caption_.isEmpty()) Redraw();
    Changed("CapStyle");
}

void QuillonButton::setButtonShape(int shape) {
    if (shape < 0 || shape > 6) return;
    shape_ = shape;
    captionAlign_ = 2;
    Reshape();
    Changed("Shape");
}

void QuillonButton::setPicture(const QPixmap& picture) {
    picture_ = picture;
    if (pictureSizePx_ == 0) pictureSizePx_ = 16;
    updateGeometry();
    Redraw();
    Changed("Image");
}

void QuillonButton::setPictureAlign(int align) {
    if (align < 0 || align > 5) return;
    pictureAlign_ = align;
    if (align == 4 || align == 5) captionAlign_ = 2;
    Redraw();
    Changed("ImgAlign");
}

void QuillonButton::setPictureSize(int size) {
    if (size < 0 || size > 4) return;
    pictureSizePx_ = 16 + 8 * size;
    Redraw();
    Changed("ImgSize");
}

void QuillonButton::setShowFocusRect(bool show) {
    showFocusRect_ = show;
    if (stateBits_ & zs::button::kDefaultLook) {
        if (UserMode()) {
            UpdateDefaultLook();
        } else {
            DesignMessage(tr("The focus rectangle may appear on default buttons ONLY while in "
                             "design mode, ") +
                          u'\n' + tr("but will not appear when the form is running."));
        }
    }
    Changed("Focus");
}

void QuillonButton::setMousePointer(int pointer) {
    static const QHash<int, Qt::CursorShape> kShapes = {
        {1, Qt::ArrowCursor},    {2, Qt::CrossCursor},      {3, Qt::IBeamCursor},
        {4, Qt::ArrowCursor},    {5, Qt::SizeAllCursor},    {6, Qt::SizeBDiagCursor},
        {7, Qt::SizeVerCursor},  {8, Qt::SizeFDiagCursor},  {9, Qt::SizeHorCursor},
        {10, Qt::UpArrowCursor}, {11, Qt::WaitCursor},      {12, Qt::ForbiddenCursor},
        {13, Qt::BusyCursor},    {14, Qt::WhatsThisCursor}, {15, Qt::SizeAllCursor}};
    mousePointer_ = pointer;
    if (pointer == 99 && !mouseIcon_.isNull()) {
        setCursor(QCursor(mouseIcon_));
    } else if (kShapes.contains(pointer)) {
        setCursor(kShapes.value(pointer));
    } else {
        unsetCursor();
    }
    Changed("mPointer");
}

void QuillonButton::setMouseIcon(const QPixmap& icon) {
    mouseIcon_ = icon;
    if (!icon.isNull()) setMousePointer(99);
    Changed("mIcon");
}

bool QuillonButton::LoadMouseIcon(const QString& fileName) {
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    QString failure;
    QImage image;
    if (format != "ico" && format != "cur") {
        failure = format.isEmpty() ? reader.errorString() : QStringLiteral("Invalid picture");
    } else if (!reader.read(&image)) {
        failure = reader.errorString();
    }
    if (!failure.isEmpty()) {
        DesignMessage(failure, QStringLiteral("Select .ico Or .cur Files Only"));
        return false;
    }
    setMouseIcon(QPixmap::fromImage(image));
    return true;
}

int QuillonButton::FontStyle() const {
    const QFont f = font();
    return (f.bold() ? 2 : 0) | (f.italic() ? 4 : 0) | (f.underline() ? 8 : 0);
}

void QuillonButton::setFontStyle(int style) {
    QFont f = font();
    f.setBold(style & 2);
    f.setItalic(style & 4);
    f.setUnderline(style & 8);
    setFont(f);  // the FontChange event redraws
}

void QuillonButton::setForeColor(quint32 color) {
    if (color == foreColor_) return;
    foreColor_ = color;
    if (hoverLocks_ == 0 || hoverLocks_ == 1) hoverForeColor_ = color;
    Redraw();
    Changed("cFore");
}

void QuillonButton::setBackColor(quint32 color) {
    backColor_ = color;
    if (hoverLocks_ == 0 || hoverLocks_ == 2) {
        hoverBackColor_ = gradientMode_ != 0 ? gradientColor_ : backColor_;
    }
    Redraw();
    Changed("cBack");
}

void QuillonButton::setGradientColor(quint32 color) {
    gradientColor_ = color;
    if ((hoverLocks_ == 0 || hoverLocks_ == 2) && gradientMode_ != 0) hoverBackColor_ = color;
    if (gradientMode_ != 0) Redraw();
    Changed("cGradient");
}

void QuillonButton::setGradientMode(int mode) {
    if (mode < 0 || mode > 4) return;
    gradientMode_ = mode;
    if (hoverLocks_ == 0 || hoverLocks_ == 2)
        hoverBackColor_ = mode == 0 ? backColor_ : gradientColor_;
    Redraw();
    Changed("Gradient");
}

void QuillonButton::ApplyHoverLocks() {
    if (!(hoverLocks_ & 1)) hoverBackColor_ = gradientMode_ != 0 ? gradientColor_ : backColor_;
    if (!(hoverLocks_ & 2)) hoverForeColor_ = foreColor_;
}

void QuillonButton::setHoverColorLocks(int locks) {
    if (locks < 0 || locks > 3) return;
    hoverLocks_ = locks;
    ApplyHoverLocks();
    Redraw();
    Changed("LockHover");
}

void QuillonButton::setHoverForeColor(quint32 color) {
    if (color == hoverForeColor_) return;
    hoverForeColor_ = color;
    if (Resolve(color) != Resolve(foreColor_)) hoverLocks_ |= 2;
    Redraw();
    Changed("cFHover");
}

void QuillonButton::setHoverBackColor(quint32 color) {
    if (color == hoverBackColor_) return;
    hoverBackColor_ = color;
    if (Resolve(color) != Resolve(backColor_)) hoverLocks_ |= 1;
    Redraw();
    Changed("cBHover");
}

void QuillonButton::setResetDefaultColors(bool reset) {
    if (!reset || UserMode()) return;
    DelayDrawing(true);
    backColor_ = kButtonFace;
    foreColor_ = kButtonText;
    gradientColor_ = kButtonFace;
    gradientMode_ = 0;
    hoverLocks_ = 0;
    ApplyHoverLocks();
    DelayDrawing(false);
    Changed("cGradient");
    Changed("cBack");
}

void QuillonButton::setDefault(bool isDefault) {
    if (isDefault == default_) return;
    default_ = isDefault;
    if (default_) {
        connect(qApp, &QApplication::focusChanged, this, &QuillonButton::UpdateDefaultLook,
                Qt::UniqueConnection);
    }
    UpdateShortcuts();
    UpdateDefaultLook();
}

void QuillonButton::setCancel(bool isCancel) {
    if (isCancel == cancel_) return;
    cancel_ = isCancel;
    UpdateShortcuts();
}

// ---- drawing ----------------------------------------------------------------

zs::button::ButtonState QuillonButton::State() const {
    zs::button::ButtonState st;
    st.size = size();
    if (const QScreen* s = screen()) st.screenSize = s->size();
    st.style = style_;
    st.mode = mode_;
    st.shape = shape_;
    st.value = value_;
    st.enabled = isEnabled();
    st.userMode = UserMode();
    st.showFocusRect = showFocusRect_;
    st.stateBits = stateBits_;
    st.keyDown = keyDown_;
    st.hovering = hovering_;
    st.caption = caption_;
    st.font = font();
    st.captionAlign = captionAlign_;
    st.captionStyle = captionStyle_;
    st.picture = picture_.toImage();
    st.pictureIsIcon = st.picture.hasAlphaChannel();
    st.pictureAlign = pictureAlign_;
    st.pictureSizePx = pictureSizePx_;
    st.foreColor = Resolve(foreColor_);
    st.hoverForeColor = Resolve(hoverForeColor_);
    st.backColor = Resolve(backColor_);
    st.hoverBackColor = Resolve(hoverBackColor_);
    st.gradientColor = Resolve(gradientColor_);
    st.containerBack = Resolve(Ambient::BackColor(this));
    st.gradientMode = gradientMode_;
    return st;
}

void QuillonButton::Redraw() {
    if (suspended_) return;
    surface_ = zs::button::ButtonPainter(State()).Render();
    update();
}

void QuillonButton::Refresh() {
    Redraw();
}

void QuillonButton::DelayDrawing(bool delay) {
    suspended_ = delay;
    if (!delay) Redraw();
}

void QuillonButton::Reshape() {
    const int needed = zs::button::RequiredWidth(shape_, width(), height());
    if (needed != width()) {
        resize(needed, height());  // the resize comes back here
        return;
    }
    setMask(zs::button::ShapeRegion(shape_, style_, isEnabled(), size()));
    Redraw();
}

bool QuillonButton::hitButton(const QPoint& pos) const {
    return zs::button::ShapeRegion(shape_, style_, isEnabled(), size()).contains(pos);
}

void QuillonButton::paintEvent(QPaintEvent*) {
    if (suspended_ || surface_.size() != size()) {
        suspended_ = false;
        Redraw();
    }
    QPainter p(this);
    p.drawImage(0, 0, surface_);
}

void QuillonButton::resizeEvent(QResizeEvent*) {
    if (suspended_) return;
    Reshape();
}

void QuillonButton::changeEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::EnabledChange:
            if (style_ == 3 && mode_ == 0) {
                Reshape();
            } else {
                Redraw();
            }
            Changed("Enabled");
            break;
        case QEvent::FontChange:
            Redraw();
            Changed("Font");
            break;
        case QEvent::PaletteChange:
        case QEvent::ParentChange:
            if (e->type() == QEvent::ParentChange && mode_ == 2) {
                LeaveGroup();
                JoinGroup();
            }
            Redraw();
            break;
        default:
            break;
    }
    QWidget::changeEvent(e);
}
