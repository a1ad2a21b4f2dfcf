// Properties of FlexMaskEditBox and their stored form.
#include <QCoreApplication>
#include <QCursor>

#include "Ambient.h"
#include "AppError.h"
#include "FlexMaskEditBox.h"
#include "MsgBox.h"
#include "PropertyBag.h"

namespace {

AppError InvalidValue(const QString& property) {
    return AppError(380, QStringLiteral("Invalid property value"),
                    QStringLiteral("FlexMaskEditBox.") + property);
}

int CheckedAlignment(int value, const QString& property) {
    if (value < 0 || value > 2) throw InvalidValue(property);
    return value;
}

Qt::CursorShape CursorFor(int mousePointer) {
    static const Qt::CursorShape shapes[] = {
        Qt::IBeamCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor};
    return mousePointer >= 0 && mousePointer < 16 ? shapes[mousePointer] : Qt::IBeamCursor;
}

}  // namespace

// A form editor sets properties as the user types them: there a refused value
// is shown in a message box, as the editor would show it, and the property
// keeps its value; at run time, or while a caller asks for them
// (RefusalsToCaller), the error goes to the caller.
void FlexMaskEditBox::DesignTimeSafe(const std::function<void()>& change) {
    if (Ambient::UserMode(this) || refusalsToCaller_ > 0) {
        change();
        return;
    }
    try {
        change();
    } catch (const AppError& error) {
        MsgBox::Show(this, QMessageBox::Critical, QStringLiteral("FlexMaskEditBox"),
                     error.Description);
    }
}

// ---- mask ----

void FlexMaskEditBox::setMask(const QString& New_Mask) {
    syncDesignMode();
    takeSelectionFromBox();
    engine_.SetMask(New_Mask);
    showDisplay();
    changed(QStringLiteral("Mask"));
}

void FlexMaskEditBox::setFieldType(int New_FieldType) {
    DesignTimeSafe([&] {
        engine_.SetFieldType(New_FieldType);
        changed(QStringLiteral("FieldType"));
    });
}

void FlexMaskEditBox::setPromptChar(const QString& New_PromptChar) {
    engine_.SetPromptChar(New_PromptChar);
    changed(QStringLiteral("PromptChar"));
}

void FlexMaskEditBox::setPromptInclude(bool New_PromptInclude) {
    engine_.SetPromptInclude(New_PromptInclude);
    changed(QStringLiteral("PromptInclude"));
}

void FlexMaskEditBox::setMaskCharInclude(bool New_MaskCharInclude) {
    engine_.SetMaskCharInclude(New_MaskCharInclude);
    changed(QStringLiteral("MaskCharInclude"));
}

void FlexMaskEditBox::setSpecialChars(const QString& New_SpecialChars) {
    engine_.SetSpecialChars(New_SpecialChars);
    changed(QStringLiteral("SpecialChars"));
}

void FlexMaskEditBox::setChar2ActivateTranNextChar2Upper(
    const QString& New_Char2ActivateTranNextChar2Upper) {
    engine_.SetChar2ActivateTranNextChar2Upper(New_Char2ActivateTranNextChar2Upper);
    changed(QStringLiteral("Char2ActivateTranNextChar2Upper"));
}

void FlexMaskEditBox::setAutoToLastPos(bool New_AutoToLastPos) {
    engine_.SetAutoToLastPos(New_AutoToLastPos);
    changed(QStringLiteral("AutoToLastPos"));
}

void FlexMaskEditBox::setDecimalSeperator(const QString& New_DecimalSeperator) {
    DesignTimeSafe([&] {
        engine_.SetDecimalSeperator(New_DecimalSeperator);
        changed(QStringLiteral("DecimalSeperator"));
    });
}

void FlexMaskEditBox::setInsertZerosInNumField(bool New_InsertZerosInNumField) {
    engine_.SetInsertZerosInNumField(New_InsertZerosInNumField);
    changed(QStringLiteral("InsertZerosInNumField"));
}

void FlexMaskEditBox::setMaxLength(int New_MaxLength) {
    engine_.SetMaxLength(New_MaxLength);
    if (!engine_.MaskActive()) {
        txtFlex->setMaxLength(engine_.MaxLength() == 0 ? 32767 : engine_.MaxLength());
    }
    changed(QStringLiteral("MaxLength"));
}

// ---- dates ----

void FlexMaskEditBox::setDateformat(int New_Dateformat) {
    DesignTimeSafe([&] {
        engine_.SetDateformat(New_Dateformat);
        changed(QStringLiteral("DateFormat"));
    });
}

void FlexMaskEditBox::setDateSeperator(const QString& New_DateSeperator) {
    engine_.SetDateSeperator(New_DateSeperator);
    changed(QStringLiteral("DateSeperator"));
}

void FlexMaskEditBox::setInOutDateformat(int New_InOutDateformat) {
    DesignTimeSafe([&] {
        engine_.SetInOutDateformat(New_InOutDateformat);
        changed(QStringLiteral("InOutDateFormat"));
    });
}

void FlexMaskEditBox::setInOutDateSeperator(const QString& New_InOutDateSeperator) {
    engine_.SetInOutDateSeperator(New_InOutDateSeperator);
    changed(QStringLiteral("InOutDateSeperator"));
}

void FlexMaskEditBox::setCenturyON(bool New_CenturyON) {
    engine_.SetCenturyON(New_CenturyON);
    changed(QStringLiteral("CenturyON"));
}

void FlexMaskEditBox::setCentury(int New_Century) {
    engine_.SetCentury(New_Century);
    changed(QStringLiteral("Century"));
}

// ---- behaviour ----

void FlexMaskEditBox::setBeepOnError(bool New_BeepOnError) {
    beepOnError_ = New_BeepOnError;
    changed(QStringLiteral("BeepOnError"));
}

void FlexMaskEditBox::setAutoSelect(bool New_AutoSelect) {
    autoSelect_ = New_AutoSelect;
    changed(QStringLiteral("AutoSelect"));
}

void FlexMaskEditBox::setExitOnEnter(bool New_ExitOnEnter) {
    exitOnEnter_ = New_ExitOnEnter;
    changed(QStringLiteral("ExitOnEnter"));
}

void FlexMaskEditBox::setUpAndDownKeys2NextFlexMask(bool New_UpAndDownKeys2NextFlexMask) {
    upAndDownKeys_ = New_UpAndDownKeys2NextFlexMask;
    changed(QStringLiteral("UpAndDownKeys2NextFlexMask"));
}

void FlexMaskEditBox::setAutoNextFlexInput(bool New_AutoNextFlexInput) {
    autoNextFlexInput_ = New_AutoNextFlexInput;
    changed(QStringLiteral("AutoNextFlexInput"));
}

void FlexMaskEditBox::setHideSelection(bool New_HideSelection) {
    hideSelection_ = New_HideSelection;
    changed(QStringLiteral("HideSelection"));
}

// ---- look ----

void FlexMaskEditBox::setFormatString(const QString& New_FormatString) {
    formatString_ = New_FormatString;
    changed(QStringLiteral("FormatString"));
}

void FlexMaskEditBox::setFormatAlignment(int New_FormatAlignment) {
    DesignTimeSafe([&] {
        formatAlignment_ = CheckedAlignment(New_FormatAlignment, QStringLiteral("FormatAlignment"));
        if (formattedShown_) applyAlignment(formatAlignment_);
        changed(QStringLiteral("FormatAlignment"));
    });
}

QFont FlexMaskEditBox::FormatFont() const {
    return formatFont_.value_or(Ambient::Font(this));
}

void FlexMaskEditBox::setFormatFont(const QFont& New_FormatFont) {
    formatFont_ = New_FormatFont;
    if (formattedShown_) applyBoxFont(New_FormatFont);
    changed(QStringLiteral("FormatFont"));
}

void FlexMaskEditBox::setAlignment(int New_Alignment) {
    DesignTimeSafe([&] {
        alignment_ = CheckedAlignment(New_Alignment, QStringLiteral("Alignment"));
        if (!formattedShown_) applyAlignment(alignment_);
        changed(QStringLiteral("Alignment"));
    });
}

void FlexMaskEditBox::setForeColor(quint32 New_ForeColor) {
    foreColor_ = New_ForeColor;
    applyCurrentColors();
    changed(QStringLiteral("ForeColor"));
}

void FlexMaskEditBox::setBackColor(quint32 New_BackColor) {
    backColor_ = New_BackColor;
    applyCurrentColors();
    changed(QStringLiteral("BackColor"));
}

void FlexMaskEditBox::setForeColorInActive(quint32 New_ForeColorInActive) {
    foreColorInActive_ = New_ForeColorInActive;
    applyCurrentColors();
    changed(QStringLiteral("ForeColorInActive"));
}

void FlexMaskEditBox::setBackColorInActive(quint32 New_BackColorInActive) {
    backColorInActive_ = New_BackColorInActive;
    applyCurrentColors();
    changed(QStringLiteral("BackColorInActive"));
}

void FlexMaskEditBox::setBorderIfFocus(bool New_BorderIfFocus) {
    borderIfFocus_ = New_BorderIfFocus;
    changed(QStringLiteral("BorderIfFocus"));
}

void FlexMaskEditBox::setBorderNoFocus(bool New_BorderNoFocus) {
    borderNoFocus_ = New_BorderNoFocus;
    changed(QStringLiteral("BorderNoFocus"));
}

void FlexMaskEditBox::setBorder(bool bNewBorder) {
    if (border_ == bNewBorder) return;
    border_ = bNewBorder;
    layoutTextBox();
    updateGeometry();
    update();
}

void FlexMaskEditBox::setBorderStyle(int New_BorderStyle) {
    DesignTimeSafe([&] {
        if (New_BorderStyle != 0 && New_BorderStyle != 1) {
            throw InvalidValue(QStringLiteral("BorderStyle"));
        }
        borderStyle_ = New_BorderStyle;
        txtFlex->setFrame(New_BorderStyle == 1);
        changed(QStringLiteral("BorderStyle"));
    });
}

// ---- value and selection ----

bool FlexMaskEditBox::DataHasChanged() const {
    return engine_.DisplayText() != engine_.SavedText() || dataHasChanged_;
}

void FlexMaskEditBox::setDataHasChanged(bool New_DataHasChanged) {
    DesignTimeSafe([&] {
        if (!Ambient::UserMode(this)) {
            throw AppError(387, QStringLiteral("Set not permitted"),
                           QStringLiteral("FlexMaskEditBox.DataHasChanged"));
        }
        dataHasChanged_ = New_DataHasChanged;
        changed(QStringLiteral("DataHasChanged"));
    });
}

int FlexMaskEditBox::SelStart() const {
    return txtFlex->hasSelectedText() ? txtFlex->selectionStart() : txtFlex->cursorPosition();
}

void FlexMaskEditBox::setSelStart(int New_SelStart) {
    txtFlex->setCursorPosition(qAbs(New_SelStart));
    selStartCache_ = txtFlex->cursorPosition();
    changed(QStringLiteral("SelStart"));
}

int FlexMaskEditBox::SelLength() const {
    return static_cast<int>(txtFlex->selectedText().size());
}

void FlexMaskEditBox::setSelLength(int New_SelLength) {
    txtFlex->setSelection(SelStart(), qAbs(New_SelLength));
    selLengthCache_ = SelLength();
    changed(QStringLiteral("SelLength"));
}

QString FlexMaskEditBox::SelText() const {
    return txtFlex->selectedText();
}

void FlexMaskEditBox::setSelText(const QString& New_SelText) {
    if (engine_.Locked()) return;
    if (engine_.MaskActive() && !formattedShown_) {
        takeSelectionFromBox();
        engine_.ClearSelection();
        for (QChar ch : New_SelText) engine_.TypeInsert(ch);
        showDisplay();
    } else if (!engine_.MaskActive()) {
        txtFlex->insert(New_SelText);
    }
    selStartCache_ = 0;
    selLengthCache_ = 0;
    changed(QStringLiteral("SelText"));
}

// ---- passed to the text box ----

void FlexMaskEditBox::setEnabledProperty(bool New_Enabled) {
    setEnabled(New_Enabled);
    txtFlex->setEnabled(New_Enabled);
    changed(QStringLiteral("Enabled"));
}

QFont FlexMaskEditBox::Font() const {
    return font();
}

void FlexMaskEditBox::setFontProperty(const QFont& New_Font) {
    useFont(New_Font);
    changed(QStringLiteral("Font"));
}

// The widget's font and the text box's, unless the formatted look (with its
// own font) is on show.
void FlexMaskEditBox::useFont(const QFont& font) {
    setFont(font);
    if (!formattedShown_) applyBoxFont(font);
    updateCaret();
}

void FlexMaskEditBox::changeFont(const QString& name, const std::function<void(QFont&)>& change) {
    QFont f = Font();
    change(f);
    useFont(f);
    changed(name);
}

void FlexMaskEditBox::setFontBold(bool New_FontBold) {
    changeFont(QStringLiteral("FontBold"), [&](QFont& f) { f.setBold(New_FontBold); });
}

void FlexMaskEditBox::setFontItalic(bool New_FontItalic) {
    changeFont(QStringLiteral("FontItalic"), [&](QFont& f) { f.setItalic(New_FontItalic); });
}

void FlexMaskEditBox::setFontStrikethru(bool New_FontStrikethru) {
    changeFont(QStringLiteral("FontStrikethru"),
               [&](QFont& f) { f.setStrikeOut(New_FontStrikethru); });
}

void FlexMaskEditBox::setFontUnderline(bool New_FontUnderline) {
    changeFont(QStringLiteral("FontUnderline"),
               [&](QFont& f) { f.setUnderline(New_FontUnderline); });
}

void FlexMaskEditBox::setFontSize(double New_FontSize) {
    DesignTimeSafe([&] {
        if (New_FontSize <= 0) throw InvalidValue(QStringLiteral("FontSize"));
        changeFont(QStringLiteral("FontSize"), [&](QFont& f) { f.setPointSizeF(New_FontSize); });
    });
}

void FlexMaskEditBox::setLocked(bool New_Locked) {
    engine_.SetLocked(New_Locked);
    txtFlex->setReadOnly(New_Locked);
    changed(QStringLiteral("Locked"));
}

void FlexMaskEditBox::setMouseIcon(const QPixmap& New_MouseIcon) {
    mouseIcon_ = New_MouseIcon;
    setMousePointer(mousePointer_);
    changed(QStringLiteral("MouseIcon"));
}

void FlexMaskEditBox::setMousePointer(int New_MousePointer) {
    mousePointer_ = New_MousePointer;
    if (New_MousePointer == 99 && !mouseIcon_.isNull()) {
        txtFlex->setCursor(QCursor(mouseIcon_));
    } else {
        txtFlex->setCursor(CursorFor(New_MousePointer));
    }
    changed(QStringLiteral("MousePointer"));
}

void FlexMaskEditBox::setOLEDragMode(int New_OLEDragMode) {
    oleDragMode_ = New_OLEDragMode;
    changed(QStringLiteral("OLEDragMode"));
}

void FlexMaskEditBox::setOLEDropMode(int New_OLEDropMode) {
    oleDropMode_ = New_OLEDropMode;
    changed(QStringLiteral("OLEDropMode"));
}

void FlexMaskEditBox::setLinkItem(const QString& New_LinkItem) {
    linkItem_ = New_LinkItem;
    changed(QStringLiteral("LinkItem"));
}

void FlexMaskEditBox::setLinkTopic(const QString& New_LinkTopic) {
    linkTopic_ = New_LinkTopic;
    changed(QStringLiteral("LinkTopic"));
}

void FlexMaskEditBox::setLinkMode(int New_LinkMode) {
    linkMode_ = New_LinkMode;
    changed(QStringLiteral("LinkMode"));
}

void FlexMaskEditBox::setLinkTimeout(int New_LinkTimeout) {
    linkTimeout_ = New_LinkTimeout;
    changed(QStringLiteral("LinkTimeout"));
}

namespace {

AppError NoLinkChannel(const char* method) {
    return AppError(293, QStringLiteral("No link channel is open"),
                    QStringLiteral("FlexMaskEditBox.") + QLatin1String(method));
}

}  // namespace

void FlexMaskEditBox::LinkExecute(const QString& Command) {
    Q_UNUSED(Command);
    throw NoLinkChannel("LinkExecute");
}

void FlexMaskEditBox::LinkPoke() {
    throw NoLinkChannel("LinkPoke");
}

void FlexMaskEditBox::LinkRequest() {
    throw NoLinkChannel("LinkRequest");
}

void FlexMaskEditBox::LinkSend() {
    throw NoLinkChannel("LinkSend");
}

void FlexMaskEditBox::setToolTipText(const QString& sToolTipText) {
    txtFlex->setToolTip(sToolTipText);
    setToolTip(sToolTipText);
    updateAccessibleName();
    changed(QStringLiteral("ToolTipText"));
}

void FlexMaskEditBox::setTag(const QString& New_Tag) {
    tag_ = New_Tag;
    changed(QStringLiteral("Tag"));
}

void FlexMaskEditBox::setVisibleProperty(bool xVisible) {
    setVisible(xVisible);
    changed(QStringLiteral("Visible"));
}

QString FlexMaskEditBox::Version() const {
    return QCoreApplication::applicationVersion();
}

const QList<std::pair<const char*, const char*>>& FlexMaskEditBox::PropertyDescriptions() {
    static const QList<std::pair<const char*, const char*>> descriptions = {
        {"FieldType", "Invoer Type Aanduiding (0) AlfaNumeriek (2) numeriek (1) Datum"},
        {"PromptChar", "Opvul Karakter (VERPLICHT)"},
        {"PromptInclude", "PromptChar Included in Text property"},
        {"MaskCharInclude", "Mask Karakters In Uitvoer Tekst"},
        {"BeepOnError", "Geluid Bij Foute Invoer"},
        {"SpecialChars",
         "Karakters Welke Door Het MaskFilter Genegeerd Worden (bv * voor Find ..*)"},
        {"AutoToLastPos", "Auto to the last char in text box."},
        {"AutoSelect", "Select All The New Text Automatic; SelLength = Len(Text)"},
        {"CenturyON", "Eeuw Aanduiding In Datum"},
        {"HideSelection",
         "Specifies whether the selection in a Masked edit control is hidden when the control "
         "loses focus."},
    };
    return descriptions;
}

// ---- stored settings ----

void FlexMaskEditBox::ReadProperties(const PropertyBag& bag) {
    auto text = [&bag](const char* name, const QString& absent = {}) {
        return bag.Read<QString>(QLatin1String(name), absent);
    };
    auto flag = [&bag](const char* name, bool absent) {
        return bag.Read<bool>(QLatin1String(name), absent);
    };
    auto number = [&bag](const char* name, int absent) {
        return bag.Read<int>(QLatin1String(name), absent);
    };
    auto color = [&bag](const char* name, quint32 absent) {
        return bag.Read<quint32>(QLatin1String(name), absent);
    };
    syncDesignMode();
    // A form without a separator falls back on the locale's, not on a blank.
    const QString decimal = text("DecimalSeperator");
    if (!decimal.isEmpty()) setDecimalSeperator(decimal);
    txtFlex->setEnabled(flag("Enabled", true));
    setFontProperty(bag.Read<QFont>(QStringLiteral("Font"), Ambient::Font(this)));
    setCenturyON(flag("CenturyON", false));
    setBorderStyle(number("BorderStyle", 1));
    setLinkItem(text("LinkItem"));
    setLinkMode(number("LinkMode", 0));
    setLinkTimeout(number("LinkTimeout", 50));
    setLinkTopic(text("LinkTopic"));
    setLocked(flag("Locked", false));
    setMaxLength(number("MaxLength", 0));
    engine_.StoreMask(text("Mask"));
    setMouseIcon(bag.Read<QPixmap>(QStringLiteral("MouseIcon"), QPixmap()));
    setMousePointer(number("MousePointer", 0));
    setOLEDragMode(number("OLEDragMode", 0));
    setOLEDropMode(number("OLEDropMode", 0));
    setSelLength(number("SelLength", 0));
    setSelStart(number("SelStart", 0));
    if (const QString selText = text("SelText"); !selText.isEmpty()) setSelText(selText);
    setToolTipText(text("ToolTipText"));
    setFieldType(number("FieldType", 0));
    setPromptChar(text("PromptChar", QStringLiteral("_")));
    setAutoToLastPos(flag("AutoToLastPos", true));
    setPromptInclude(flag("PromptInclude", false));
    setBeepOnError(flag("BeepOnError", false));
    setMaskCharInclude(flag("MaskCharInclude", true));
    setExitOnEnter(flag("ExitOnEnter", true));
    setCentury(number("Century", 0));
    setSpecialChars(text("SpecialChars"));
    dataHasChanged_ = flag("DataHasChanged", false);
    setFormatString(text("FormatString"));
    setFormatAlignment(number("FormatAlignment", 0));
    setAlignment(number("Alignment", 0));
    setHideSelection(flag("HideSelection", false));
    setFontBold(flag("FontBold", false));
    setFontItalic(flag("FontItalic", false));
    setFontSize(bag.Read<double>(QStringLiteral("FontSize"), 8.0));
    setFontStrikethru(flag("FontStrikethru", false));
    setFontUnderline(flag("FontUnderline", false));
    setUpAndDownKeys2NextFlexMask(flag("UpAndDownKeys2NextFlexMask", true));
    setForeColor(color("ForeColor", kWindowText));
    setForeColorInActive(color("ForeColorInActive", 0));
    setBackColorInActive(color("BackColorInActive", 0));
    setBackColor(color("BackColor", kWindowBackground));
    setAutoNextFlexInput(flag("AutoNextFlexInput", false));
    if (bag.Contains(QStringLiteral("FormatFont"))) {
        setFormatFont(bag.Read<QFont>(QStringLiteral("FormatFont"), Ambient::Font(this)));
    }
    setInsertZerosInNumField(flag("InsertZerosInNumField", true));
    setDateformat(number("DateFormat", 0));
    setDateSeperator(text("DateSeperator", QStringLiteral("-")));
    setInOutDateformat(number("InOutDateFormat", 0));
    setInOutDateSeperator(text("InOutDateSeperator", QStringLiteral("-")));
    // "Text" holds the display; a date field reads it back through its in/out format.
    setText(engine_.StoredDisplayAsText(text("Text")));
    setChar2ActivateTranNextChar2Upper(text("Char2ActivateTranNextChar2Upper"));
    setBorderIfFocus(flag("BorderIfFocus", false));
    setBorderNoFocus(flag("BorderNoFocus", false));
    setAutoSelect(flag("AutoSelect", false));
    setTag(text("Tag"));
}

void FlexMaskEditBox::WriteProperties(PropertyBag& bag) const {
    auto put = [&bag](const char* name, const QVariant& value, const QVariant& absent) {
        bag.WriteProperty(QLatin1String(name), value, absent);
    };
    auto color = [](quint32 value) { return QVariant::fromValue(value); };
    const QFont ambient = Ambient::Font(this);
    put("Enabled", Enabled(), true);
    put("Font", Font(), ambient);
    put("BorderStyle", borderStyle_, 1);
    put("LinkItem", linkItem_, QString());
    put("LinkMode", linkMode_, 0);
    put("LinkTimeout", linkTimeout_, 50);
    put("LinkTopic", linkTopic_, QString());
    put("Locked", Locked(), false);
    put("MaxLength", MaxLength(), 0);
    if (!mouseIcon_.isNull()) put("MouseIcon", mouseIcon_, QVariant());
    put("MousePointer", mousePointer_, 0);
    put("OLEDragMode", oleDragMode_, 0);
    put("OLEDropMode", oleDropMode_, 0);
    put("SelLength", selLengthCache_, 0);
    put("SelStart", selStartCache_, 0);
    put("SelText", SelText(), QString());
    put("Text", engine_.DisplayText(), QString());
    put("ToolTipText", ToolTipText(), QString());
    put("FieldType", FieldType(), 0);
    put("PromptChar", PromptChar(), QStringLiteral("_"));
    put("AutoToLastPos", AutoToLastPos(), true);
    put("PromptInclude", PromptInclude(), false);
    put("BeepOnError", beepOnError_, false);
    put("MaskCharInclude", MaskCharInclude(), true);
    put("CenturyON", CenturyON(), false);
    put("ExitOnEnter", exitOnEnter_, true);
    put("Century", Century(), 0);
    put("SpecialChars", SpecialChars(), QString());
    put("DataHasChanged", dataHasChanged_, false);
    put("FormatString", formatString_, QString());
    put("FormatAlignment", formatAlignment_, 0);
    put("Alignment", alignment_, 0);
    put("HideSelection", hideSelection_, false);
    put("FontBold", FontBold(), false);
    put("FontItalic", FontItalic(), false);
    put("FontSize", FontSize(), 8.0);
    put("FontStrikethru", FontStrikethru(), false);
    put("FontUnderline", FontUnderline(), false);
    put("UpAndDownKeys2NextFlexMask", upAndDownKeys_, true);
    put("ForeColor", color(foreColor_), color(kWindowText));
    put("ForeColorInActive", color(foreColorInActive_), color(0));
    put("BackColorInActive", color(backColorInActive_), color(0));
    put("BackColor", color(backColor_), color(kWindowBackground));
    put("AutoNextFlexInput", autoNextFlexInput_, false);
    put("FormatFont", FormatFont(), ambient);
    put("InsertZerosInNumField", InsertZerosInNumField(), true);
    put("DateFormat", Dateformat(), 0);
    put("DateSeperator", DateSeperator(), QStringLiteral("-"));
    put("Mask", Mask(), QString());
    put("InOutDateFormat", InOutDateformat(), 0);
    put("InOutDateSeperator", InOutDateSeperator(), QStringLiteral("-"));
    put("Char2ActivateTranNextChar2Upper", Char2ActivateTranNextChar2Upper(), QString());
    put("BorderIfFocus", borderIfFocus_, false);
    put("BorderNoFocus", borderNoFocus_, false);
    put("AutoSelect", autoSelect_, false);
    put("Tag", tag_, QString());
    put("DecimalSeperator", DecimalSeperator(), QString());
}
