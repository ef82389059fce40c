#pragma once

#include <QColor>
#include <QObject>

class MSharedData;

// Fills one layer of a document with a colour, as one undo step. For now it
// changes nothing: without undo records a fill could not be taken back.
class MFillCanvasRunner : public QObject
{
    Q_OBJECT
public:
    MFillCanvasRunner(MSharedData *sharedData, int row, const QColor &color);

public slots:
    void run();

private:
    MSharedData *m_sharedData;
    int m_row;
    QColor m_color;
};
