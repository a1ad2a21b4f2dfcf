#include "WindowSize.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "AppError.h"
#include "MainSettings.h"

namespace {

// A title bar and thin borders, for a window manager not yet heard from.
const QMargins kUsualDecoration(4, 30, 4, 4);

bool HasFrame(const QWidget* window) {
    return window->isVisible() && window->frameGeometry() != window->geometry();
}

QMargins FrameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

}  // namespace

WindowSize::WindowSize(QWidget* window, const QString& name)
    : QObject(window), window_(window), name_(name) {
    window->installEventFilter(this);
}

void WindowSize::Keep(QWidget* window, const QString& name) {
    new WindowSize(window, name);
}

QRect WindowSize::FitFrame(QSize client, QMargins decoration, QPoint centre, QRect available) {
    const QSize frameSize = (client.grownBy(decoration)).boundedTo(available.size());
    QRect frame(QPoint(), frameSize);
    frame.moveCenter(centre);
    frame.moveLeft(
        std::clamp(frame.left(), available.left(), available.right() - frame.width() + 1));
    frame.moveTop(
        std::clamp(frame.top(), available.top(), available.bottom() - frame.height() + 1));
    return frame;
}

bool WindowSize::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && !event->spontaneous()) {
        if (event->type() == QEvent::Show && !restored_) {
            restored_ = true;
            Restore();
        } else if (event->type() == QEvent::Hide) {
            Remember();
        }
    }
    return QObject::eventFilter(watched, event);
}

// The frame the window manager puts around this window: as it is known for
// the window itself or for another shown window of the program.
QMargins WindowSize::Decoration() const {
    if (HasFrame(window_)) return FrameMargins(window_);
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window_ && HasFrame(other)) return FrameMargins(other);
    }
    return kUsualDecoration;
}

void WindowSize::Restore() {
    const QScreen* screen = window_->screen();
    if (!screen) return;
    QSize size = MainSettings::WindowSize(name_);
    if (!size.isValid()) size = window_->size();
    size = size.expandedTo(window_->minimumSize());
    const QMargins decoration = Decoration();
    const QRect frame =
        FitFrame(size, decoration, window_->frameGeometry().center(), screen->availableGeometry());
    window_->resize(frame.size().shrunkBy(decoration).expandedTo(window_->minimumSize()));
    // A window not placed by the program is placed after this: a dialog over
    // its parent and inside the screen by the dialog itself, a main window by
    // the window manager.
    if (window_->testAttribute(Qt::WA_Moved)) window_->move(frame.topLeft());
}

void WindowSize::Remember() const {
    const QSize size = window_->isMaximized() || window_->isFullScreen()
                           ? window_->normalGeometry().size()
                           : window_->size();
    try {
        MainSettings::SaveWindowSize(name_, size);
    } catch (const AppError&) {
        // A size that cannot be stored is only not remembered.
    }
}
