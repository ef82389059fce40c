#include "mcomicstripcell.h"

MComicStripCell::MComicStripCell(const QRectF &cellRect)
    : rect(cellRect)
{
}
