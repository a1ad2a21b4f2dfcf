#include "FocusRing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QWidget>

namespace {

constexpr int kWidth = 2;

// One per window, a child laid over the focused widget's edge.
class Ring : public QWidget {
public:
    explicit Ring(QWidget* window) : QWidget(window) {
        setObjectName(QStringLiteral("focusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        window->installEventFilter(this);
        hide();
    }

    void Follow(QWidget* target) {
        if (target_ == target) return;
        if (target_) target_->removeEventFilter(this);
        target_ = target;
        if (target_) target_->installEventFilter(this);
        Place();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
            case QEvent::LayoutRequest:
                Place();
                break;
            default:
                break;
        }
        return false;
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Highlight));
    }

private:
    void Place() {
        if (!target_ || !target_->isVisible()) {
            hide();
            return;
        }
        const QRect around(target_->mapTo(parentWidget(), QPoint(0, 0)), target_->size());
        setGeometry(around.adjusted(-kWidth, -kWidth, kWidth, kWidth));
        setMask(QRegion(rect()).subtracted(rect().adjusted(kWidth, kWidth, -kWidth, -kWidth)));
        raise();
        show();
    }

    QPointer<QWidget> target_;
};

bool WantsRing(const QWidget* widget) {
    return qobject_cast<const QAbstractItemView*>(widget) || qobject_cast<const QComboBox*>(widget);
}

Ring* RingOf(QWidget* window, bool create) {
    auto* ring = window->findChild<Ring*>(QStringLiteral("focusRing"), Qt::FindDirectChildrenOnly);
    return ring || !create ? ring : new Ring(window);
}

void FocusMoved(QWidget* from, QWidget* to) {
    if (from && from->window() != (to ? to->window() : nullptr))
        if (Ring* ring = RingOf(from->window(), false)) ring->Follow(nullptr);
    if (!to) return;
    const bool wanted = WantsRing(to);
    if (Ring* ring = RingOf(to->window(), wanted)) ring->Follow(wanted ? to : nullptr);
}

}  // namespace

namespace FocusRing {

void Install() {
    static bool installed = false;
    if (installed || qApp == nullptr) return;
    installed = true;
    QObject::connect(qApp, &QApplication::focusChanged, qApp, FocusMoved);
}

}  // namespace FocusRing
