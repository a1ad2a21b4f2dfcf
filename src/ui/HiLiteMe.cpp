#include "HiLiteMe.h"

#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include "FlexMaskEditBox.h"
#include "RunTopLevel.h"
#include "TrapERR.h"

namespace mUtility {

void HiLiteMe(FlexMaskEditBox* This) {
    try {
        if (This == nullptr) return;
        This->setSelStart(0);
        This->setSelLength(static_cast<int>(This->textBox()->text().length()));
    }
    ZS_TRAP("mUtility.HiLiteMe(This)", QVariant::fromValue(static_cast<QObject*>(This)))
}

namespace {

// Watches the inner text box of one FlexMaskEditBox for focus entry.
class FocusSelector : public QObject {
public:
    explicit FocusSelector(FlexMaskEditBox* box) : QObject(box), box_(box) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            // Queued: a mouse press that gave the focus places the cursor after
            // this event; the selection must come after that.
            // An empty field keeps its cursor: selected, its prompt characters
            // would show as a bare block, and there is nothing to replace.
            QTimer::singleShot(0, this, [box = QPointer<FlexMaskEditBox>(box_)] {
                if (box && box->textBox()->hasFocus() && !box->IsEmptyText()) {
                    zs::RunTopLevel(box, [&box] { HiLiteMe(box); });
                }
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    FlexMaskEditBox* box_;
};

}  // namespace

void HiLiteOnFocus(FlexMaskEditBox* box) {
    if (box == nullptr) return;
    box->textBox()->installEventFilter(new FocusSelector(box));
}

}  // namespace mUtility
