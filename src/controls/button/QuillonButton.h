#pragma once

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "ButtonState.h"

class PropertyBag;
class QMimeData;

// The program's own command button: draws itself in one of eight styles and
// seven shapes, with gradients, a picture and hover colours, and works as a
// command button (Mode 0), a check box (1) or an option button (2).
//
// Colours are 32-bit numbers: red + 256 * green + 65536 * blue, or
// 0x800000nn for system colour nn, resolved through the palette when drawn.
// Out-of-range values for the enumerated properties are ignored. Messages
// about refused values appear only at design time (Ambient::UserMode false).
// Mouse event coordinates are pixels of the control.
class QuillonButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int ButtonStyle READ ButtonStyle WRITE setButtonStyle)
    Q_PROPERTY(int Mode READ Mode WRITE setMode)
    Q_PROPERTY(bool Value READ Value WRITE setValue)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int CaptionAlign READ CaptionAlign WRITE setCaptionAlign)
    Q_PROPERTY(int CaptionStyle READ CaptionStyle WRITE setCaptionStyle)
    Q_PROPERTY(int ButtonShape READ ButtonShape WRITE setButtonShape)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(int PictureAlign READ PictureAlign WRITE setPictureAlign)
    Q_PROPERTY(int PictureSize READ PictureSize WRITE setPictureSize)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(int FontStyle READ FontStyle WRITE setFontStyle)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(uint GradientColor READ GradientColor WRITE setGradientColor)
    Q_PROPERTY(int GradientMode READ GradientMode WRITE setGradientMode)
    Q_PROPERTY(int HoverColorLocks READ HoverColorLocks WRITE setHoverColorLocks)
    Q_PROPERTY(uint HoverForeColor READ HoverForeColor WRITE setHoverForeColor)
    Q_PROPERTY(uint HoverBackColor READ HoverBackColor WRITE setHoverBackColor)
    Q_PROPERTY(bool ResetDefaultColors READ ResetDefaultColors WRITE setResetDefaultColors)
    Q_PROPERTY(bool Default READ Default WRITE setDefault)
    Q_PROPERTY(bool Cancel READ Cancel WRITE setCancel)
    Q_PROPERTY(qulonglong hdc READ hdc)
    Q_PROPERTY(qulonglong hwnd READ hwnd)

public:
    static constexpr quint32 kButtonFace = 0x8000000F;
    static constexpr quint32 kButtonText = 0x80000012;

    // A new control: its caption follows its objectName until set.
    explicit QuillonButton(QWidget* parent = nullptr);
    // A new control named `name`, which is also its caption.
    explicit QuillonButton(const QString& name, QWidget* parent = nullptr);
    ~QuillonButton() override;

    int ButtonStyle() const { return style_; }
    void setButtonStyle(int style);
    int Mode() const { return mode_; }
    void setMode(int mode);
    bool Value() const { return value_; }
    void setValue(bool value);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    int CaptionAlign() const { return captionAlign_; }
    void setCaptionAlign(int align);
    int CaptionStyle() const { return captionStyle_; }
    void setCaptionStyle(int style);
    int ButtonShape() const { return shape_; }
    void setButtonShape(int shape);
    QPixmap Picture() const { return picture_; }
    void setPicture(const QPixmap& picture);
    int PictureAlign() const { return pictureAlign_; }
    void setPictureAlign(int align);
    // 0..4; kept as the pixel size 16 + 8 * value.
    int PictureSize() const { return (pictureSizePx_ - 16) / 8; }
    void setPictureSize(int size);
    int PictureSizePixels() const { return pictureSizePx_; }
    bool ShowFocusRect() const { return showFocusRect_; }
    void setShowFocusRect(bool show);
    int MousePointer() const { return mousePointer_; }
    void setMousePointer(int pointer);
    QPixmap MouseIcon() const { return mouseIcon_; }
    void setMouseIcon(const QPixmap& icon);
    // MouseIcon from an icon (.ico) or cursor (.cur) file, judged by its
    // content. Any other picture, or a file that cannot be read, is refused:
    // the icon stays as it was and, in design mode, a box titled "Select .ico
    // Or .cur Files Only" says why. Returns whether the icon was set.
    bool LoadMouseIcon(const QString& fileName);
    // Bits 2 bold, 4 italic, 8 underline of the caption font.
    int FontStyle() const;
    void setFontStyle(int style);
    quint32 ForeColor() const { return foreColor_; }
    void setForeColor(quint32 color);
    quint32 BackColor() const { return backColor_; }
    void setBackColor(quint32 color);
    quint32 GradientColor() const { return gradientColor_; }
    void setGradientColor(quint32 color);
    int GradientMode() const { return gradientMode_; }
    void setGradientMode(int mode);
    // Bit 1: the hover face colour is the user's own; bit 2: the hover caption colour is.
    int HoverColorLocks() const { return hoverLocks_; }
    void setHoverColorLocks(int locks);
    quint32 HoverForeColor() const { return hoverForeColor_; }
    void setHoverForeColor(quint32 color);
    quint32 HoverBackColor() const { return hoverBackColor_; }
    void setHoverBackColor(quint32 color);
    bool ResetDefaultColors() const { return false; }
    void setResetDefaultColors(bool reset);
    // Enter clicks a default button, Esc a cancel button (command mode only).
    bool Default() const { return default_; }
    void setDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void setCancel(bool isCancel);
    qulonglong hdc() const { return reinterpret_cast<quintptr>(&surface_); }
    qulonglong hwnd() const { return effectiveWinId(); }

    // The caption's access key ("&" before it, "&&" is a plain ampersand); null when none.
    QChar AccessKey() const { return accessKey_; }
    // Caption as read aloud: no access-key marks, "&&" as "&", "||" as a blank.
    QString PlainCaption() const;

    // Redraws now unless drawing is suspended.
    void Refresh();
    // true suspends all drawing; false resumes and redraws at once.
    void DelayDrawing(bool delay);

    // Stored settings, in their stored names; defaults are not written except
    // for Mode, Value and cBack.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    // Applies only the look settings of a stored set (style, shape, colours,
    // gradient, hover locks, caption style, font, focus), through the
    // property setters; caption, mode, value and the rest stay as they are.
    void ApplyLook(const PropertyBag& bag);
    // The program's own button look (resource :/button/program.props).
    // False, with the button unchanged, if the resource cannot be read.
    static bool ApplyProgramLook(QuillonButton* button);

    // Room for the caption and picture, and never smaller than a classic
    // command button (81 x 25 pixels), so layouts can place the button.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The press the accessibility layer performs: the same events as a left click.
    void PerformClick();

    // Starts a drag from the button on the host's behalf: the host fills in
    // the data and may narrow the allowed effects (copy and move) in
    // OLEStartDrag, answers OLESetData for formats it announced empty, hears
    // OLEGiveFeedback while the drag runs and OLECompleteDrag at its end.
    // Blocks until the drag ends.
    void OLEDrag();

    // What the next drawing will show; also what the tests inspect.
    zs::button::ButtonState State() const;
    const QImage& Surface() const { return surface_; }
    int StateBits() const { return stateBits_; }
    bool HoverTracking() const { return hovering_; }

signals:
    // Button: 1 left, 2 right, 4 middle. Shift: 1 Shift, 2 Ctrl, 4 Alt.
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    void KeyDown(short KeyCode, short Shift);
    void Keypress(short KeyAscii);
    void KeyUp(short KeyCode, short Shift);
    void MouseOnButton(bool OnButton);
    void Click();
    void DoubleClick(short Button);
    void OLEDragOver(const QMimeData* Data, int Effect, short Button, short Shift, float X, float Y,
                     short State);
    void OLEDragDrop(const QMimeData* Data, int Effect, short Button, short Shift, float X,
                     float Y);
    // Effects: 0 none, 1 copy, 2 move, 4 link.
    void OLEStartDrag(QMimeData* Data, int& AllowedEffects);
    void OLESetData(QMimeData* Data, QString& DataFormat);
    void OLEGiveFeedback(int& Effect, bool& DefaultCursors);
    void OLECompleteDrag(int& Effect);
    // A stored setting changed (its stored name). A newly placed button
    // reports Caption, CapAlign, Focus, cFHover and cBHover as soon as the
    // event loop runs, so its host stores them; a loaded one does not.
    void PropertyChanged(const QString& name);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    // Only the window shape takes mouse input.
    bool hitButton(const QPoint& pos) const;

private:
    void Init();
    void Redraw();
    void Reshape();
    void Changed(const char* storedName);
    void DesignMessage(const QString& text, const QString& title = {});
    bool UserMode() const;
    void HandleMouseDown(short button, short shift, QPointF pos);
    void PlatformClick();
    void HoverCheck();
    void StartHover(bool leftHeld);
    void ApplyHoverLocks();
    zs::button::Rgb Resolve(quint32 color) const;
    zs::button::Rgb FaceOrGradient() const;
    void UpdateDefaultLook();
    void UpdateShortcuts();
    void JoinGroup();
    void LeaveGroup();

    int style_ = 0;
    int mode_ = 0;
    bool value_ = false;
    QString caption_;
    bool captionFollowsName_ = true;
    QChar accessKey_;
    int captionAlign_ = 2;
    int captionStyle_ = 0;
    int shape_ = 0;
    QPixmap picture_;
    int pictureAlign_ = 0;
    int pictureSizePx_ = 16;
    bool showFocusRect_ = true;
    int mousePointer_ = 0;
    QPixmap mouseIcon_;
    quint32 foreColor_ = kButtonText;
    quint32 backColor_ = kButtonFace;
    quint32 gradientColor_ = kButtonFace;
    int gradientMode_ = 0;
    int hoverLocks_ = 0;
    quint32 hoverForeColor_ = kButtonText;
    quint32 hoverBackColor_ = kButtonFace;
    bool default_ = false;
    bool cancel_ = false;

    int stateBits_ = 0;
    bool keyDown_ = false;
    bool hovering_ = false;
    short lastButton_ = 0;
    bool suspended_ = false;
    bool pressArmed_ = false;  // a press inside may become a click on release
    bool newlyPlaced_ = true;  // not loaded from a stored set (yet)
    QImage surface_;
    QTimer hoverTimer_;
    QPointer<QObject> groupContainer_;
    int accessKeyId_ = 0;
    int returnId_ = 0;
    int enterId_ = 0;
    int escapeId_ = 0;
};
