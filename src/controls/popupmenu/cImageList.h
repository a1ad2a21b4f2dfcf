#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>

// A list of small images handed out by 0-based index, all of one size: the icon
// source of a popup menu. Images of another size are scaled to the list's size.
// Once one exists, the program's menu icons can be read from ":/menu/<name>.png".
class cImageList : public QObject {
    Q_OBJECT
public:
    explicit cImageList(QObject* parent = nullptr, QSize imageSize = QSize(16, 16));

    // Appends an image and returns its index, or -1 for a null image.
    int Add(const QPixmap& image);
    // Appends the image stored at a resource or file path; -1 when it cannot be read.
    int AddFromFile(const QString& path);
    void Clear();

    int Count() const { return int(images_.size()); }
    QSize ImageSize() const { return size_; }
    int ImageHeight() const { return size_.height(); }
    int ImageWidth() const { return size_.width(); }
    // The image at index, or a null pixmap when there is none.
    QPixmap Image(int index) const;
    // The image as an icon, with Qt's disabled look available; null when there is none.
    QIcon Icon(int index) const;

private:
    QSize size_;
    QList<QPixmap> images_;
};
