#include "OleDrag.h"

#include <QDrag>
#include <QPointer>
#include <QWidget>

namespace zs {

int DropEffect(Qt::DropActions actions) {
    return actions.toInt() & (Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
}

QVariant OleDragData::retrieveData(const QString& mimeType, QMetaType type) const {
    // What is stored, without coming back here through data().
    const auto stored = [&] { return QMimeData::retrieveData(mimeType, type); };
    if (Fill && hasFormat(mimeType) && !asked_.contains(mimeType) &&
        stored().toByteArray().isEmpty()) {
        asked_.insert(mimeType);
        QString format = mimeType;
        // The data is ours; only its announced part is filled in here.
        Fill(const_cast<OleDragData*>(this), format);
    }
    return stored();
}

std::optional<int> RunOleDrag(QWidget* source, std::unique_ptr<OleDragData> data,
                              int allowedEffects, const OleDragHost& host) {
    if (host.setData) data->Fill = host.setData;
    if (host.start) host.start(data.get(), allowedEffects);
    const Qt::DropActions actions =
        Qt::DropActions::fromInt(DropEffect(Qt::DropActions::fromInt(allowedEffects)));
    if (!actions) return std::nullopt;
    auto* drag = new QDrag(source);
    drag->setMimeData(data.release());
    if (host.feedback) {
        QObject::connect(drag, &QDrag::actionChanged, source,
                         [feedback = host.feedback](Qt::DropAction action) {
                             int effect = DropEffect(action);
                             bool defaultCursors = true;
                             feedback(effect, defaultCursors);
                         });
    }
    const QPointer<QWidget> alive(source);
    const Qt::DropAction done = drag->exec(actions);
    if (!alive) return std::nullopt;  // its window closed while the drag ran
    drag->deleteLater();
    return DropEffect(done);
}

}  // namespace zs
