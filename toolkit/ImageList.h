// ImageList.h: the framework's image list, a row of equally sized images.
// TImageList is a QObject so that holders can watch it go away (QPointer).
#ifndef QUENLO_TOOLKIT_IMAGELIST_H
#define QUENLO_TOOLKIT_IMAGELIST_H

#include <QList>
#include <QObject>
#include <QPainter>
#include <QPixmap>

class TImageList : public QObject {
    Q_OBJECT

public:
    explicit TImageList(QObject *parent = nullptr) : QObject(parent) {}

    int Count() const noexcept { return int(m_images.size()); }
    // Appends and answers the new image's index.
    int Add(const QPixmap &image)
    {
        m_images.append(image);
        return int(m_images.size()) - 1;
    }
    // Draws image index with its top-left corner at (x, y); an index outside
    // 0 .. Count-1 draws nothing and answers false.
    bool Draw(QPainter &painter, int x, int y, int index) const
    {
        if (index < 0 || index >= Count())
            return false;
        painter.drawPixmap(x, y, m_images[index]);
        return true;
    }

private:
    QList<QPixmap> m_images;
};

#endif
