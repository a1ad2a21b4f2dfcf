#pragma once

#include <QFont>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <utility>

#include "FlexTextBox.h"
#include "MaskEngine.h"

class PropertyBag;
class QMenu;
class QAction;

// A single-line input control whose content is shaped by an input mask (see
// MaskEngine for the mask language), with date and numeric field types, two
// colour sets (focused and not), an optional formatted look while unfocused and
// focus moves between FlexMaskEditBox fields with Enter and Up/Down.
//
// The inner line edit `txtFlex` fills the control and is its focus proxy, so a
// label's buddy and the accessibility tree reach it. While a mask is active every
// editing key is handled by the control; without a mask the line edit edits
// natively.
//
// Colours are 32-bit numbers: red + 256 * green + 65536 * blue, or 0x800000nn for
// a system colour; an inactive colour of 0 means "not set". Mouse event
// coordinates are pixels of the control. Key events carry Qt::Key values and a
// shift mask (1 Shift, 2 Ctrl, 4 Alt); a KeyDown/KeyPress handler that sets the
// key to 0 cancels the key.
//
// Errors raised to the caller (AppError): 122 "MUST be 1 char long" for a
// DecimalSeperator that is not one character; 387 for setting DataHasChanged in
// design mode; 380 for FieldType, Dateformat, InOutDateformat, Alignment or
// FormatAlignment out of range.
class FlexMaskEditBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Mask READ Mask WRITE setMask)
    Q_PROPERTY(int FieldType READ FieldType WRITE setFieldType)
    Q_PROPERTY(QString PromptChar READ PromptChar WRITE setPromptChar)
    Q_PROPERTY(bool PromptInclude READ PromptInclude WRITE setPromptInclude)
    Q_PROPERTY(bool MaskCharInclude READ MaskCharInclude WRITE setMaskCharInclude)
    Q_PROPERTY(bool BeepOnError READ BeepOnError WRITE setBeepOnError)
    Q_PROPERTY(QString SpecialChars READ SpecialChars WRITE setSpecialChars)
    Q_PROPERTY(QString Char2ActivateTranNextChar2Upper READ Char2ActivateTranNextChar2Upper WRITE
                   setChar2ActivateTranNextChar2Upper)
    Q_PROPERTY(bool AutoToLastPos READ AutoToLastPos WRITE setAutoToLastPos)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE setAutoSelect)
    Q_PROPERTY(bool ExitOnEnter READ ExitOnEnter WRITE setExitOnEnter)
    Q_PROPERTY(bool UpAndDownKeys2NextFlexMask READ UpAndDownKeys2NextFlexMask WRITE
                   setUpAndDownKeys2NextFlexMask)
    Q_PROPERTY(bool AutoNextFlexInput READ AutoNextFlexInput WRITE setAutoNextFlexInput)
    Q_PROPERTY(QString DecimalSeperator READ DecimalSeperator WRITE setDecimalSeperator)
    Q_PROPERTY(bool InsertZerosInNumField READ InsertZerosInNumField WRITE setInsertZerosInNumField)
    Q_PROPERTY(int Dateformat READ Dateformat WRITE setDateformat)
    Q_PROPERTY(QString DateSeperator READ DateSeperator WRITE setDateSeperator)
    Q_PROPERTY(int InOutDateformat READ InOutDateformat WRITE setInOutDateformat)
    Q_PROPERTY(QString InOutDateSeperator READ InOutDateSeperator WRITE setInOutDateSeperator)
    Q_PROPERTY(bool CenturyON READ CenturyON WRITE setCenturyON)
    Q_PROPERTY(int Century READ Century WRITE setCentury)
    Q_PROPERTY(QString FormatString READ FormatString WRITE setFormatString)
    Q_PROPERTY(int FormatAlignment READ FormatAlignment WRITE setFormatAlignment)
    Q_PROPERTY(QFont FormatFont READ FormatFont WRITE setFormatFont)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(uint ForeColorInActive READ ForeColorInActive WRITE setForeColorInActive)
    Q_PROPERTY(uint BackColorInActive READ BackColorInActive WRITE setBackColorInActive)
    Q_PROPERTY(bool BorderIfFocus READ BorderIfFocus WRITE setBorderIfFocus)
    Q_PROPERTY(bool BorderNoFocus READ BorderNoFocus WRITE setBorderNoFocus)
    Q_PROPERTY(bool Border READ Border WRITE setBorder)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE setHideSelection)
    Q_PROPERTY(bool DataHasChanged READ DataHasChanged WRITE setDataHasChanged DESIGNABLE false)
    Q_PROPERTY(int SelStart READ SelStart WRITE setSelStart DESIGNABLE false)
    Q_PROPERTY(int SelLength READ SelLength WRITE setSelLength DESIGNABLE false)
    Q_PROPERTY(QString SelText READ SelText WRITE setSelText DESIGNABLE false)
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY Change USER true)
    Q_PROPERTY(QString TextAsDisplayed READ TextAsDisplayed)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)
    Q_PROPERTY(QFont Font READ Font WRITE setFontProperty)
    Q_PROPERTY(bool FontBold READ FontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ FontItalic WRITE setFontItalic)
    Q_PROPERTY(bool FontStrikethru READ FontStrikethru WRITE setFontStrikethru)
    Q_PROPERTY(bool FontUnderline READ FontUnderline WRITE setFontUnderline)
    Q_PROPERTY(double FontSize READ FontSize WRITE setFontSize)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(int OLEDragMode READ OLEDragMode WRITE setOLEDragMode)
    Q_PROPERTY(int OLEDropMode READ OLEDropMode WRITE setOLEDropMode)
    Q_PROPERTY(QString LinkItem READ LinkItem WRITE setLinkItem)
    Q_PROPERTY(QString LinkTopic READ LinkTopic WRITE setLinkTopic)
    Q_PROPERTY(int LinkMode READ LinkMode WRITE setLinkMode)
    Q_PROPERTY(int LinkTimeout READ LinkTimeout WRITE setLinkTimeout)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisibleProperty)
    Q_PROPERTY(qulonglong hwnd READ hwnd)
    Q_PROPERTY(QString Version READ Version)

public:
    static constexpr quint32 kWindowText = 0x80000008;
    static constexpr quint32 kWindowBackground = 0x80000005;

    explicit FlexMaskEditBox(QWidget* parent = nullptr);
    ~FlexMaskEditBox() override;

    // The inner text box's sizes plus the border, so a layout gives the field room.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // ---- mask ----
    QString Mask() const { return engine_.Mask(); }
    void setMask(const QString& New_Mask);
    int FieldType() const { return static_cast<int>(engine_.FieldType()); }
    void setFieldType(int New_FieldType);
    QString PromptChar() const { return engine_.PromptChar(); }
    void setPromptChar(const QString& New_PromptChar);
    bool PromptInclude() const { return engine_.PromptInclude(); }
    void setPromptInclude(bool New_PromptInclude);
    bool MaskCharInclude() const { return engine_.MaskCharInclude(); }
    void setMaskCharInclude(bool New_MaskCharInclude);
    QString SpecialChars() const { return engine_.SpecialChars(); }
    void setSpecialChars(const QString& New_SpecialChars);
    QString Char2ActivateTranNextChar2Upper() const {
        return engine_.Char2ActivateTranNextChar2Upper();
    }
    void setChar2ActivateTranNextChar2Upper(const QString& New_Char2ActivateTranNextChar2Upper);
    bool AutoToLastPos() const { return engine_.AutoToLastPos(); }
    void setAutoToLastPos(bool New_AutoToLastPos);
    QString DecimalSeperator() const { return engine_.DecimalSeperator(); }
    void setDecimalSeperator(const QString& New_DecimalSeperator);
    bool InsertZerosInNumField() const { return engine_.InsertZerosInNumField(); }
    void setInsertZerosInNumField(bool New_InsertZerosInNumField);
    int MaxLength() const { return engine_.MaxLength(); }
    void setMaxLength(int New_MaxLength);

    // ---- dates ----
    int Dateformat() const { return engine_.Dateformat(); }
    void setDateformat(int New_Dateformat);
    QString DateSeperator() const { return engine_.DateSeperator(); }
    void setDateSeperator(const QString& New_DateSeperator);
    int InOutDateformat() const { return engine_.InOutDateformat(); }
    void setInOutDateformat(int New_InOutDateformat);
    QString InOutDateSeperator() const { return engine_.InOutDateSeperator(); }
    void setInOutDateSeperator(const QString& New_InOutDateSeperator);
    bool CenturyON() const { return engine_.CenturyON(); }
    void setCenturyON(bool New_CenturyON);
    int Century() const { return engine_.Century(); }
    void setCentury(int New_Century);

    // ---- behaviour ----
    bool BeepOnError() const { return beepOnError_; }
    void setBeepOnError(bool New_BeepOnError);
    bool AutoSelect() const { return autoSelect_; }
    void setAutoSelect(bool New_AutoSelect);
    bool ExitOnEnter() const { return exitOnEnter_; }
    void setExitOnEnter(bool New_ExitOnEnter);
    bool UpAndDownKeys2NextFlexMask() const { return upAndDownKeys_; }
    void setUpAndDownKeys2NextFlexMask(bool New_UpAndDownKeys2NextFlexMask);
    bool AutoNextFlexInput() const { return autoNextFlexInput_; }
    void setAutoNextFlexInput(bool New_AutoNextFlexInput);
    bool HideSelection() const { return hideSelection_; }
    void setHideSelection(bool New_HideSelection);

    // ---- look ----
    QString FormatString() const { return formatString_; }
    void setFormatString(const QString& New_FormatString);
    int FormatAlignment() const { return formatAlignment_; }
    void setFormatAlignment(int New_FormatAlignment);
    QFont FormatFont() const;
    void setFormatFont(const QFont& New_FormatFont);
    int Alignment() const { return alignment_; }
    void setAlignment(int New_Alignment);
    quint32 ForeColor() const { return foreColor_; }
    void setForeColor(quint32 New_ForeColor);
    quint32 BackColor() const { return backColor_; }
    void setBackColor(quint32 New_BackColor);
    quint32 ForeColorInActive() const { return foreColorInActive_; }
    void setForeColorInActive(quint32 New_ForeColorInActive);
    quint32 BackColorInActive() const { return backColorInActive_; }
    void setBackColorInActive(quint32 New_BackColorInActive);
    bool BorderIfFocus() const { return borderIfFocus_; }
    void setBorderIfFocus(bool New_BorderIfFocus);
    bool BorderNoFocus() const { return borderNoFocus_; }
    void setBorderNoFocus(bool New_BorderNoFocus);
    // The thick frame that follows the focus (not stored).
    bool Border() const { return border_; }
    void setBorder(bool bNewBorder);
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int New_BorderStyle);

    // ---- value and selection ----
    QString Text() const;
    void setText(const QString& New_Text);
    QString TextAsDisplayed() const { return engine_.TextAsDisplayed(); }
    bool DataHasChanged() const;
    void setDataHasChanged(bool New_DataHasChanged);
    int SelStart() const;
    void setSelStart(int New_SelStart);
    int SelLength() const;
    void setSelLength(int New_SelLength);
    QString SelText() const;
    void setSelText(const QString& New_SelText);

    // ---- passed to the text box ----
    // What the text box is: stored settings may disable the box alone.
    bool Enabled() const { return txtFlex->isEnabledTo(this); }
    void setEnabledProperty(bool New_Enabled);
    QFont Font() const;
    void setFontProperty(const QFont& New_Font);
    bool FontBold() const { return Font().bold(); }
    void setFontBold(bool New_FontBold);
    bool FontItalic() const { return Font().italic(); }
    void setFontItalic(bool New_FontItalic);
    bool FontStrikethru() const { return Font().strikeOut(); }
    void setFontStrikethru(bool New_FontStrikethru);
    bool FontUnderline() const { return Font().underline(); }
    void setFontUnderline(bool New_FontUnderline);
    double FontSize() const { return Font().pointSizeF(); }
    void setFontSize(double New_FontSize);
    bool Locked() const { return engine_.Locked(); }
    void setLocked(bool New_Locked);
    QPixmap MouseIcon() const { return mouseIcon_; }
    void setMouseIcon(const QPixmap& New_MouseIcon);
    int MousePointer() const { return mousePointer_; }
    void setMousePointer(int New_MousePointer);
    // Drag-and-drop and link settings are kept and stored.
    int OLEDragMode() const { return oleDragMode_; }
    void setOLEDragMode(int New_OLEDragMode);
    int OLEDropMode() const { return oleDropMode_; }
    void setOLEDropMode(int New_OLEDropMode);
    QString LinkItem() const { return linkItem_; }
    void setLinkItem(const QString& New_LinkItem);
    QString LinkTopic() const { return linkTopic_; }
    void setLinkTopic(const QString& New_LinkTopic);
    int LinkMode() const { return linkMode_; }
    void setLinkMode(int New_LinkMode);
    int LinkTimeout() const { return linkTimeout_; }
    void setLinkTimeout(int New_LinkTimeout);
    QString ToolTipText() const { return txtFlex->toolTip(); }
    void setToolTipText(const QString& sToolTipText);
    QString Tag() const { return tag_; }
    void setTag(const QString& New_Tag);
    bool Visible() const { return isVisible(); }
    void setVisibleProperty(bool xVisible);
    qulonglong hwnd() const { return static_cast<qulonglong>(effectiveWinId()); }
    // The application's version, "major.minor.revision".
    QString Version() const;

    // ---- methods ----
    // Rebuilds the mask from the current settings and repaints.
    void Refresh();
    // Drags the selected text out of the field: the host may fill in or
    // replace the data and the allowed effects in OLEStartDrag; a move takes
    // the text out through the mask. Automatic drag mode calls it when the
    // user drags the selection.
    void OLEDrag();
    // Links to another program's data: this desktop offers no link service,
    // so no channel ever opens and each of these raises AppError 293 "No link
    // channel is open" (the same error as with LinkMode 0), changing nothing.
    Q_INVOKABLE void LinkExecute(const QString& Command);
    Q_INVOKABLE void LinkPoke();
    Q_INVOKABLE void LinkRequest();
    Q_INVOKABLE void LinkSend();
    bool IsEmptyText() const { return engine_.IsEmptyText(); }
    QString NumText() const { return engine_.NumText(); }
    bool ValidDate(const QString& sDate = {}, int iFormat = -1, const QString& sSeperator = {}) {
        return engine_.ValidDate(sDate, iFormat, sSeperator);
    }
    QString TransFormDate(const QString& sDate, int InDateFormat, int OutDateFormat,
                          const QString& sInSep, const QString& sOutSep) const {
        return engine_.TransFormDate(sDate, InDateFormat, OutDateFormat, sInSep, sOutSep);
    }
    QString DateFormatByText() const { return engine_.DateFormatByText(); }
    // Moves the focus to the next (+1) or previous (-1) enabled, visible
    // FlexMaskEditBox of the same window in tab order, wrapping around; with
    // `exit` and no next field, a Tab leaves for the next control when ExitOnEnter
    // is set.
    void FocusNextFlexMask(int direction, bool exit);

    // While one is alive, a refused property value (error 122 and the like)
    // is raised to the caller in design mode too, instead of being shown in a
    // box there: a settings page that applies many values stops at the first.
    class RefusalsToCaller {
    public:
        explicit RefusalsToCaller(FlexMaskEditBox& box) : box_(box) { ++box_.refusalsToCaller_; }
        ~RefusalsToCaller() { --box_.refusalsToCaller_; }
        RefusalsToCaller(const RefusalsToCaller&) = delete;
        RefusalsToCaller& operator=(const RefusalsToCaller&) = delete;

    private:
        FlexMaskEditBox& box_;
    };

    // The descriptions a form editor's property browser shows, by property.
    static const QList<std::pair<const char*, const char*>>& PropertyDescriptions();

    // Stored settings, in the order the form data keeps them.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // The right-click menu as it would open now (items shown and enabled);
    // exposed so the menu can be checked and driven without opening it.
    QMenu* PreparePopupMenu();

    FlexTextBox* textBox() const { return txtFlex; }
    const MaskEngine& engine() const { return engine_; }

signals:
    void PopUpItems(QStringList& MenuItemsArray, bool& TextMenu);
    void PopUpItemsClick(int MenuIndex);
    void ExitOnArrowKeys(bool& Cancel);
    void Click();
    void DblClick();
    void KeyDown(int& KeyCode, int& Shift);
    void KeyPress(int& KeyAscii);
    void KeyUp(int KeyCode, int Shift);
    void MouseDown(int Button, int Shift, double X, double Y);
    void MouseMove(int Button, int Shift, double X, double Y);
    void MouseUp(int Button, int Shift, double X, double Y);
    void Change();
    void OLECompleteDrag(int& Effect);
    void OLEDragDrop(QObject* Data, int& Effect, int Button, int Shift, double X, double Y);
    void OLEDragOver(QObject* Data, int& Effect, int Button, int Shift, double X, double Y,
                     int State);
    void Resize();
    void OLEStartDrag(QObject* Data, int& AllowedEffects);
    // A drop target asks for a format announced (set empty) in OLEStartDrag;
    // the handler sets it on Data.
    void OLESetData(QObject* Data, QString& DataFormat);
    void OLEGiveFeedback(int& Effect, bool& DefaultCursors);
    void LinkOpenFlex(int& Cancel);
    void LinkErrorFlex(int LinkErr);
    void LinkCloseFlex();
    void LinkNotifyFlex();
    // A property was set; `name` is its stored name.
    void PropertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool keyPressed(QKeyEvent* event);
    bool typeCharacter(QChar ch);
    void applyOutcome(const KeyOutcome& outcome);
    bool mousePressed(QMouseEvent* event);
    void emitMouse(QMouseEvent* event);
    // Drops in manual drop mode: reported to the host, which decides; the
    // field itself takes nothing in.
    bool dragEvent(QEvent* event);
    // Automatic drag mode: a press on the selection arms a drag, a move
    // past the drag distance starts it, a release without one places the cursor.
    bool armDrag(QMouseEvent* event);
    bool followDrag(QMouseEvent* event);
    void disarmDrag(QMouseEvent* event);
    void focusEntry();
    void focusExit();
    void applyInactiveLook();
    void showPopupMenu(const QPoint& globalPos);
    void menuCopy();
    void menuPaste();
    void menuDelete();
    void menuUndo();
    void takeSelectionFromBox();
    void showDisplay();
    void showDisplayQuietly();
    void applyColors(quint32 fore, quint32 back);
    void applyCurrentColors();
    void onTextChanged(const QString& text);
    void updateAccessibleName();
    void applyAlignment(int alignment);
    void applyBoxFont(const QFont& font);
    void useFont(const QFont& font);
    void changeFont(const QString& name, const std::function<void(QFont&)>& change);
    void updateCaret();
    int borderMargin() const;
    void layoutTextBox();
    void refreshIfPending();
    void syncDesignMode();
    void DesignTimeSafe(const std::function<void()>& change);
    void beep() const;
    void sendTab();
    void changed(const QString& name) { emit PropertyChanged(name); }
    QString formattedValue() const;
    void assignText(const QString& value, bool fromUndo);

    MaskEngine engine_;
    FlexTextBox* txtFlex;
    QMenu* mnuPopUp = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuLine = nullptr;
    QAction* mnuCalculator = nullptr;
    QList<QAction*> mnuPopUpOwnDef;

    bool beepOnError_ = false;
    bool autoSelect_ = false;
    bool exitOnEnter_ = true;
    bool upAndDownKeys_ = true;
    bool autoNextFlexInput_ = false;
    bool hideSelection_ = false;
    QString formatString_;
    int formatAlignment_ = 0;
    std::optional<QFont> formatFont_;
    int alignment_ = 0;
    quint32 foreColor_ = kWindowText;
    quint32 backColor_ = kWindowBackground;
    quint32 foreColorInActive_ = 0;
    quint32 backColorInActive_ = 0;
    bool borderIfFocus_ = false;
    bool borderNoFocus_ = false;
    bool border_ = false;
    int borderStyle_ = 1;
    bool dataHasChanged_ = false;
    int selStartCache_ = 0;
    int selLengthCache_ = 0;
    int savedSelStart_ = -1;
    bool changeEnabled_ = true;
    bool formattedShown_ = false;
    bool textWasSet_ = false;
    bool firstClickPending_ = false;
    QPixmap mouseIcon_;
    int mousePointer_ = 0;
    int oleDragMode_ = 0;
    int refusalsToCaller_ = 0;
    int oleDropMode_ = 0;
    bool dragArmed_ = false;
    QPoint dragFrom_;
    QString linkItem_;
    QString linkTopic_;
    int linkMode_ = 0;
    int linkTimeout_ = 50;
    QString tag_;
};
