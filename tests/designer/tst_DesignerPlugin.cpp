#include <QApplication>
#include <QBuffer>
#include <QDesignerComponents>
#include <QDesignerFormEditorInterface>
#include <QDesignerFormWindowCursorInterface>
#include <QDesignerFormWindowInterface>
#include <QDesignerFormWindowManagerInterface>
#include <QDesignerIntegration>
#include <QDesignerPropertyEditorInterface>
#include <QDesignerTaskMenuExtension>
#include <QDialogButtonBox>
#include <QExtensionManager>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPluginLoader>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUiLoader>
#include <QXmlStreamReader>
#include <QtTest>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <memory>

#include "Ambient.h"

namespace {

// A form with both controls set away from their defaults; properties in the
// order Designer writes them (the mask before the text laid into it).
const char* const kForm = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Form</class>
 <widget class="QWidget" name="Form">
  <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>100</height></rect></property>
  <widget class="QuillonButton" name="btnGo">
   <property name="geometry"><rect><x>10</x><y>10</y><width>90</width><height>25</height></rect></property>
   <property name="ButtonStyle"><number>3</number></property>
   <property name="Mode"><number>1</number></property>
   <property name="Value"><bool>true</bool></property>
   <property name="Caption"><string>&amp;Go</string></property>
   <property name="BackColor"><UInt>255</UInt></property>
  </widget>
  <widget class="FlexMaskEditBox" name="mskID">
   <property name="geometry"><rect><x>10</x><y>50</y><width>120</width><height>21</height></rect></property>
   <property name="Mask"><string>##-##</string></property>
   <property name="PromptChar"><string>*</string></property>
   <property name="Alignment"><number>1</number></property>
   <property name="Text"><string>12-34</string></property>
  </widget>
 </widget>
 <customwidgets>
  <customwidget><class>QuillonButton</class><extends>QWidget</extends><header>QuillonButton.h</header></customwidget>
  <customwidget><class>FlexMaskEditBox</class><extends>QWidget</extends><header>FlexMaskEditBox.h</header></customwidget>
 </customwidgets>
 <resources/>
 <connections/>
</ui>
)";

QString PluginRoot() {
    // <build>/plugins/designer/<plugin>: QUiLoader and Designer look in designer/.
    return QFileInfo(QStringLiteral(ZS_DESIGNER_PLUGIN)).absoluteDir().absolutePath();
}

std::unique_ptr<QWidget> LoadWithUiLoader(const QByteArray& ui) {
    QUiLoader loader;
    loader.addPluginPath(PluginRoot());
    QBuffer buffer;
    buffer.setData(ui);
    buffer.open(QIODevice::ReadOnly);
    std::unique_ptr<QWidget> form(loader.load(&buffer));
    if (!form) qWarning() << loader.errorString();
    return form;
}

QString InnerText(const QWidget* box) {
    return box->findChild<QLineEdit*>()->text();
}

void CheckValues(const QWidget* form) {
    const QWidget* button = form->findChild<QWidget*>(QStringLiteral("btnGo"));
    const QWidget* box = form->findChild<QWidget*>(QStringLiteral("mskID"));
    QVERIFY(button && box);
    QCOMPARE(button->metaObject()->className(), "QuillonButton");
    QCOMPARE(button->property("ButtonStyle").toInt(), 3);
    QCOMPARE(button->property("Mode").toInt(), 1);
    QCOMPARE(button->property("Value").toBool(), true);
    QCOMPARE(button->property("Caption").toString(), QStringLiteral("&Go"));
    QCOMPARE(button->property("BackColor").toUInt(), 255u);
    QCOMPARE(button->geometry(), QRect(10, 10, 90, 25));
    QCOMPARE(box->metaObject()->className(), "FlexMaskEditBox");
    QCOMPARE(box->property("Mask").toString(), QStringLiteral("##-##"));
    QCOMPARE(box->property("PromptChar").toString(), QStringLiteral("*"));
    QCOMPARE(box->property("Alignment").toInt(), 1);
}

// Runs `action`; a modal window it opens is handed to `answer`, which must
// close it. Returns whether one opened.
bool DuringModal(const std::function<void()>& action, const std::function<void(QWidget*)>& answer) {
    bool opened = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll.stop();
            opened = true;
            answer(modal);
        }
    });
    poll.start();
    action();
    return opened;
}

// The text of the message box `action` shows, closed at once; empty if none.
QString MessageDuring(const std::function<void()>& action) {
    QString text;
    DuringModal(action, [&text](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) text = box->text();
        modal->close();
    });
    return text;
}

const QString kCommandValueRefused =
    QStringLiteral("This property is not applicable for command button modes.");

}  // namespace

class tst_DesignerPlugin : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void pluginOffersBothControls();
    void uiLoaderBuildsControlsInRunMode();
    void designerEditsControlsInDesignMode();
    void designerSavesWhatTheProgramLoads();
    void characteristicsPageChangesAreSaved();
    void characteristicsPageTakesTheFirstSelected();
    void propertyBrowserShowsDescriptions();

private:
    std::unique_ptr<QDesignerFormWindowInterface> OpenForm(const QByteArray& ui);

    QDesignerFormEditorInterface* core_ = nullptr;
    std::unique_ptr<QDesignerPropertyEditorInterface> propertyEditor_;
};

void tst_DesignerPlugin::initTestCase() {
    // The form editor collects its plugins from <library path>/designer.
    QCoreApplication::addLibraryPath(PluginRoot() + QStringLiteral("/.."));
    QDesignerComponents::initializeResources();
    core_ = QDesignerComponents::createFormEditor(this);
    QVERIFY(core_);
    propertyEditor_.reset(QDesignerComponents::createPropertyEditor(core_, nullptr));
    core_->setPropertyEditor(propertyEditor_.get());
    new QDesignerIntegration(core_, this);  // registers itself with the core
    QDesignerComponents::initializePlugins(core_);
}

// A form window of the editor, as Designer opens a .ui file.
std::unique_ptr<QDesignerFormWindowInterface> tst_DesignerPlugin::OpenForm(const QByteArray& ui) {
    std::unique_ptr<QDesignerFormWindowInterface> formWindow(
        core_->formWindowManager()->createFormWindow());
    formWindow->setContents(QString::fromUtf8(ui));
    return formWindow;
}

void tst_DesignerPlugin::pluginOffersBothControls() {
    QPluginLoader loader(QStringLiteral(ZS_DESIGNER_PLUGIN));
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    QVERIFY(collection);

    QStringList names;
    for (QDesignerCustomWidgetInterface* control : collection->customWidgets()) {
        names << control->name();
        QCOMPARE(control->includeFile(), control->name() + QStringLiteral(".h"));
        QVERIFY(!control->icon().isNull());
        QVERIFY(!control->isContainer());

        // The widget Designer places first is of the control's class.
        QXmlStreamReader xml(control->domXml());
        bool placed = false;
        while (xml.readNextStartElement()) {
            if (xml.name() == QStringLiteral("widget")) {
                placed = xml.attributes().value(QStringLiteral("class")) == control->name();
                break;
            }
        }
        QVERIFY2(placed && !xml.hasError(), qPrintable(control->name()));

        // Made outside any form (a form preview does so): run mode.
        QWidget parent;
        std::unique_ptr<QWidget> widget(control->createWidget(&parent));
        QVERIFY(widget);
        QCOMPARE(widget->metaObject()->className(), control->name().toLatin1());
        QVERIFY(Ambient::UserMode(widget.get()));
    }
    QCOMPARE(names,
             QStringList({QStringLiteral("QuillonButton"), QStringLiteral("FlexMaskEditBox")}));
}

void tst_DesignerPlugin::uiLoaderBuildsControlsInRunMode() {
    const std::unique_ptr<QWidget> form = LoadWithUiLoader(kForm);
    QVERIFY(form);
    CheckValues(form.get());
    const QWidget* box = form->findChild<QWidget*>(QStringLiteral("mskID"));
    QVERIFY(Ambient::UserMode(box));
    QCOMPARE(InnerText(box), QStringLiteral("12-34"));

    // A refused setting stays silent in a running program.
    QWidget* button = form->findChild<QWidget*>(QStringLiteral("btnGo"));
    button->setProperty("Mode", 0);
    QCOMPARE(MessageDuring([button] { button->setProperty("Value", true); }), QString());
    QCOMPARE(button->property("Value").toBool(), false);
}

void tst_DesignerPlugin::designerEditsControlsInDesignMode() {
    const auto formWindow = OpenForm(kForm);
    QWidget* box = formWindow->mainContainer()->findChild<QWidget*>(QStringLiteral("mskID"));
    QWidget* button = formWindow->mainContainer()->findChild<QWidget*>(QStringLiteral("btnGo"));
    QVERIFY(box && button);
    QVERIFY(!Ambient::UserMode(box));
    QVERIFY(!Ambient::UserMode(button));
    // At design time the field shows its mask as a template, not its value.
    QCOMPARE(InnerText(box), QStringLiteral("##-##"));
    // ... and a refused setting is explained to the developer.
    button->setProperty("Mode", 0);
    QCOMPARE(MessageDuring([button] { button->setProperty("Value", true); }), kCommandValueRefused);
}

void tst_DesignerPlugin::designerSavesWhatTheProgramLoads() {
    const QString saved = OpenForm(kForm)->contents();
    QVERIFY2(!saved.contains(QLatin1String(Ambient::DesignModeProperty)), qPrintable(saved));

    const std::unique_ptr<QWidget> form = LoadWithUiLoader(saved.toUtf8());
    QVERIFY2(form, qPrintable(saved));
    CheckValues(form.get());
    QVERIFY(Ambient::UserMode(form->findChild<QWidget*>(QStringLiteral("mskID"))));
}

void tst_DesignerPlugin::characteristicsPageChangesAreSaved() {
    const auto formWindow = OpenForm(kForm);
    formWindow->setDirty(false);
    QWidget* box = formWindow->mainContainer()->findChild<QWidget*>(QStringLiteral("mskID"));
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core_->extensionManager(), box);
    QVERIFY(menu);
    QCOMPARE(menu->taskActions().size(), 1);
    QAction* open = menu->preferredEditAction();
    QCOMPARE(open->text(), QStringLiteral("Characteristics..."));

    QString pageName;
    const bool opened =
        DuringModal([open] { open->trigger(); },
                    [&pageName](QWidget* page) {
                        pageName = page->objectName();
                        page->findChild<QLineEdit*>(QStringLiteral("txtMask"))
                            ->setText(QStringLiteral("AA-##"));
                        page->findChild<QLineEdit*>(QStringLiteral("txtFormatString"))
                            ->setText(QStringLiteral("0.0"));
                        page->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
                    });
    QVERIFY(opened);
    QCOMPARE(pageName, QStringLiteral("Characteristics"));
    QCOMPARE(box->property("Mask").toString(), QStringLiteral("AA-##"));

    // Designer knows: the form is modified and saves the new values.
    QVERIFY(formWindow->isDirty());
    const std::unique_ptr<QWidget> form = LoadWithUiLoader(formWindow->contents().toUtf8());
    QVERIFY(form);
    const QWidget* loaded = form->findChild<QWidget*>(QStringLiteral("mskID"));
    QCOMPARE(loaded->property("Mask").toString(), QStringLiteral("AA-##"));
    QCOMPARE(loaded->property("FormatString").toString(), QStringLiteral("0.0"));
}

// With several fields selected, the page opens on the first of them,
// whichever field was right-clicked, and writes only that one.
void tst_DesignerPlugin::characteristicsPageTakesTheFirstSelected() {
    QByteArray twoFields = kForm;
    twoFields.replace("  <widget class=\"FlexMaskEditBox\" name=\"mskID\">",
                      "  <widget class=\"FlexMaskEditBox\" name=\"mskOther\">\n"
                      "   <property name=\"Mask\"><string>AAA</string></property>\n"
                      "  </widget>\n"
                      "  <widget class=\"FlexMaskEditBox\" name=\"mskID\">");
    const auto formWindow = OpenForm(twoFields);
    QWidget* id = formWindow->mainContainer()->findChild<QWidget*>(QStringLiteral("mskID"));
    QWidget* other = formWindow->mainContainer()->findChild<QWidget*>(QStringLiteral("mskOther"));
    QVERIFY(id && other);
    formWindow->clearSelection(false);
    formWindow->selectWidget(id, true);
    formWindow->selectWidget(other, true);
    QDesignerFormWindowCursorInterface* cursor = formWindow->cursor();
    QCOMPARE(cursor->selectedWidgetCount(), 2);
    QWidget* first = cursor->selectedWidget(0);
    QWidget* second = cursor->selectedWidget(1);
    const QString firstMask = first->property("Mask").toString();
    const QString secondMask = second->property("Mask").toString();

    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core_->extensionManager(), second);
    QString shownMask;
    const bool opened =
        DuringModal([menu] { menu->preferredEditAction()->trigger(); },
                    [&shownMask](QWidget* page) {
                        auto* mask = page->findChild<QLineEdit*>("txtMask");
                        shownMask = mask->text();
                        mask->setText(QStringLiteral("####"));
                        page->findChild<QLineEdit*>("txtMaxLength")->setText(QStringLiteral("0"));
                        page->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
                    });
    QVERIFY(opened);
    QCOMPARE(shownMask, firstMask);
    QCOMPARE(first->property("Mask").toString(), QStringLiteral("####"));
    QCOMPARE(second->property("Mask").toString(), secondMask);
}

// Designer's property browser shows each described property's text as its tip.
void tst_DesignerPlugin::propertyBrowserShowsDescriptions() {
    const auto formWindow = OpenForm(kForm);
    QWidget* box = formWindow->mainContainer()->findChild<QWidget*>(QStringLiteral("mskID"));
    propertyEditor_->setObject(box);
    QHash<QString, QString> tips;
    for (QTreeWidget* tree : propertyEditor_->findChildren<QTreeWidget*>()) {
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            tips.insert((*it)->text(0), (*it)->toolTip(0));
        }
    }
    propertyEditor_->setObject(nullptr);
    QCOMPARE(tips.value(QStringLiteral("FieldType")),
             QStringLiteral("Invoer Type Aanduiding (0) AlfaNumeriek (2) numeriek (1) Datum"));
    QCOMPARE(tips.value(QStringLiteral("AutoSelect")),
             QStringLiteral("Select All The New Text Automatic; SelLength = Len(Text)"));
}

QTEST_MAIN(tst_DesignerPlugin)
#include "tst_DesignerPlugin.moc"
