#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>

class QDesignerFormEditorInterface;

// What Designer needs to know about one of our controls.
struct ControlInfo {
    QString name;         // class name, as in .ui files
    QString includeFile;  // header that declares it
    QString toolTip;
    QString whatsThis;
    QString domXml;  // the widget as first placed
    QIcon icon;
    std::function<QWidget*(QWidget* parent)> create;
    // Registers the control's extensions (task menu ...) with a form editor.
    std::function<void(QDesignerFormEditorInterface* core)> registerExtensions;
};

// One control in Designer's widget box. Inside a form that Designer edits the
// control runs in design mode (its design-time messages and looks); created
// anywhere else (form preview, QUiLoader in a program) it runs in run mode.
class ControlPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit ControlPlugin(ControlInfo info, QObject* parent = nullptr);

    QString name() const override { return info_.name; }
    QString group() const override;
    QString toolTip() const override { return info_.toolTip; }
    QString whatsThis() const override { return info_.whatsThis; }
    QString includeFile() const override { return info_.includeFile; }
    QIcon icon() const override { return info_.icon; }
    QString domXml() const override { return info_.domXml; }
    bool isContainer() const override { return false; }
    bool isInitialized() const override { return initialized_; }
    // A null core (a form loader, not an editor) leaves every control in run mode.
    void initialize(QDesignerFormEditorInterface* core) override;
    QWidget* createWidget(QWidget* parent) override;

private:
    ControlInfo info_;
    bool initialized_ = false;
    QDesignerFormEditorInterface* core_ = nullptr;
};
