#include "cImageList.h"

// The menu icons (":/menu/preview.png", "convert-single", "convert-batch", "delete") are
// resources of this static library; they must be registered by hand, outside any namespace.
static void InitMenuIconResources() {
    Q_INIT_RESOURCE(menuicons);
}

cImageList::cImageList(QObject* parent, QSize imageSize) : QObject(parent), size_(imageSize) {
    InitMenuIconResources();
}

int cImageList::Add(const QPixmap& image) {
    if (image.isNull()) return -1;
    images_.append(image.size() == size_
                       ? image
                       : image.scaled(size_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return Count() - 1;
}

int cImageList::AddFromFile(const QString& path) {
    return Add(QPixmap(path));
}

void cImageList::Clear() {
    images_.clear();
}

QPixmap cImageList::Image(int index) const {
    return index >= 0 && index < Count() ? images_[index] : QPixmap();
}

QIcon cImageList::Icon(int index) const {
    const QPixmap image = Image(index);
    return image.isNull() ? QIcon() : QIcon(image);
}
