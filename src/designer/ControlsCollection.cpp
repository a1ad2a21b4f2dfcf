#include "ControlsCollection.h"

#include "ControlIcons.h"
#include "ControlPlugin.h"
#include "FlexMaskEditBox.h"
#include "MaskEditTaskMenuFactory.h"
#include "QuillonButton.h"

namespace {

// The widget as first placed; `tips` are the property browser's tool tips.
QString DomXml(const QString& className, const QString& objectName, int width, int height,
               const QList<std::pair<const char*, const char*>>& tips = {}) {
    QString specs;
    for (const auto& [property, tip] : tips) {
        specs += QStringLiteral("    <tooltip name=\"%1\">%2</tooltip>\n")
                     .arg(QLatin1String(property), QString::fromUtf8(tip).toHtmlEscaped());
    }
    if (!specs.isEmpty()) {
        specs = QStringLiteral(
                    " <customwidgets>\n  <customwidget>\n   <class>%1</class>\n"
                    "   <propertyspecifications>\n%2   </propertyspecifications>\n"
                    "  </customwidget>\n </customwidgets>\n")
                    .arg(className, specs);
    }
    return QStringLiteral(
               "<ui language=\"c++\">\n"
               " <widget class=\"%1\" name=\"%2\">\n"
               "  <property name=\"geometry\">\n"
               "   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>\n"
               "  </property>\n"
               " </widget>\n"
               "%5"
               "</ui>\n")
        .arg(className, objectName)
        .arg(width)
        .arg(height)
        .arg(specs);
}

ControlInfo ButtonInfo() {
    ControlInfo info;
    info.name = QStringLiteral("QuillonButton");
    info.includeFile = QStringLiteral("QuillonButton.h");
    info.toolTip = QStringLiteral("Gradient command, check or option button");
    info.whatsThis = QStringLiteral(
        "A self-drawn button with eight styles, seven shapes, gradients, a picture and hover "
        "colours; works as a command button, a check box or an option button.");
    info.domXml = DomXml(info.name, QStringLiteral("quillonButton"), 75, 23);
    info.icon = zs::designer::ButtonIcon();
    info.create = [](QWidget* parent) { return new QuillonButton(parent); };
    return info;
}

ControlInfo MaskEditInfo() {
    ControlInfo info;
    info.name = QStringLiteral("FlexMaskEditBox");
    info.includeFile = QStringLiteral("FlexMaskEditBox.h");
    info.toolTip = QStringLiteral("Single-line input shaped by an input mask");
    info.whatsThis = QStringLiteral(
        "A masked input field with text, date and numeric field types and a formatted look "
        "while it has no focus. Right-click it for its Characteristics page.");
    info.domXml = DomXml(info.name, QStringLiteral("flexMaskEditBox"), 121, 21,
                         FlexMaskEditBox::PropertyDescriptions());
    info.icon = zs::designer::MaskEditIcon();
    info.create = [](QWidget* parent) { return new FlexMaskEditBox(parent); };
    info.registerExtensions = &MaskEditTaskMenuFactory::Register;
    return info;
}

}  // namespace

ControlsCollection::ControlsCollection(QObject* parent) : QObject(parent) {
    widgets_ = {new ControlPlugin(ButtonInfo(), this), new ControlPlugin(MaskEditInfo(), this)};
}
