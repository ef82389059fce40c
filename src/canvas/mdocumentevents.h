#pragma once

#include <QObject>
#include <QRectF>

// What the document's parts announce about the document as a whole: the
// parts emit here, and the document passes each on as its own signal, so
// that no part needs the document to speak for it.
class MDocumentEvents : public QObject
{
    Q_OBJECT
public:
    explicit MDocumentEvents(QObject *parent = nullptr);

signals:
    // Pixels changed in rect (the whole view when empty); throttled
    // repaints may be merged into the next frame.
    void refresh(bool throttle, const QRectF &rect);
    // The layer at row looks different: its thumbnail is out of date.
    void thumbnailWanted(int row);
    // The layer list was replaced as a whole.
    void layerListReset();
    void selectionChanged();
    void modifiedChanged();
};
