#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

// Keeps a top-level window inside the available area of its screen: when it
// is first shown it takes the size it had when last closed (else the size it
// was built with), shrunk where the screen is smaller; a window the program
// placed itself is moved inside the screen's free area (a dialog places
// itself there, the window manager a main window). Closing it stores its size
// under `name` in the program's settings.
class WindowSize : public QObject {
    Q_OBJECT

public:
    // Installs the keeper on `window`, which owns it.
    static void Keep(QWidget* window, const QString& name);

    // The frame of a window of `client` size with `decoration` around it,
    // centred on `centre`, then shrunk to `available` and moved inside it.
    static QRect FitFrame(QSize client, QMargins decoration, QPoint centre, QRect available);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowSize(QWidget* window, const QString& name);
    void Restore();
    void Remember() const;
    QMargins Decoration() const;

    QWidget* window_;
    QString name_;
    bool restored_ = false;
};
