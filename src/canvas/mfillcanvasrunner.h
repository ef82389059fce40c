#pragma once

#include "mrunner.h"

#include <QColor>

// Fills the tiles of one layer of a document with a colour (transparent
// erases), kept inside the selection when there is one, as the undo step
// "Clear". A visible colour first gets tiles over the selection's bounds
// (the painted rectangle without a selection), so that an empty layer is
// filled too; erasing touches the existing tiles only.
class MFillCanvasRunner : public MRunner
{
    Q_OBJECT
public:
    MFillCanvasRunner(MSharedData *sharedData, int row, const QColor &color);

public slots:
    void run() override;

private:
    int m_row;
    QColor m_color;
};
