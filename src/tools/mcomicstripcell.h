#pragma once

#include <QRectF>

// One panel of a comic-strip layout: its rectangle in canvas coordinates,
// whether it is selected, and which of its four borders are drawn.
class MComicStripCell
{
public:
    MComicStripCell() = default;
    explicit MComicStripCell(const QRectF &cellRect);

    QRectF rect;
    bool selected = false;
    bool drawTop = true;
    bool drawLeft = true;
    bool drawBottom = true;
    bool drawRight = true;
};
