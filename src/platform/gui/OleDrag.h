#pragma once

#include <QMimeData>
#include <QSet>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

// Drags that a control starts on its host's behalf. The host hears them as
// four events: it may fill in the data and narrow the allowed effects when the
// drag starts, fill in an announced format when a drop target asks for it,
// follow the effect while the drag runs, and learn the effect of the drop.
namespace zs {

// Effects as controls report them to their host; they equal Qt's drop
// actions: none 0, copy 1, move 2, link 4. Other bits are dropped.
int DropEffect(Qt::DropActions actions);

// The data of such a drag. A format set with empty data is announced only:
// the first time a drop target asks for it, `Fill` runs and may set it.
class OleDragData : public QMimeData {
    Q_OBJECT
public:
    std::function<void(OleDragData* data, QString& format)> Fill;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    mutable QSet<QString> asked_;
};

struct OleDragHost {
    // May change the data and the allowed effects; no effect left means no drag.
    std::function<void(OleDragData* data, int& allowedEffects)> start;
    // Fills in an announced format (see OleDragData).
    std::function<void(OleDragData* data, QString& format)> setData;
    // Each change of the effect the drop would have; the host may set
    // defaultCursors false when it shows cursors of its own.
    std::function<void(int& effect, bool& defaultCursors)> feedback;
};

// Runs a drag of `data` from `source`, offering `allowedEffects` (before the
// host's start hook narrows them). Returns the effect of the drop (0 when
// nothing took it), or nothing when no drag ran or `source` was destroyed
// while it ran. Blocks until the drag ends.
std::optional<int> RunOleDrag(QWidget* source, std::unique_ptr<OleDragData> data,
                              int allowedEffects, const OleDragHost& host);

}  // namespace zs
