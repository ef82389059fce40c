#pragma once

#include "mlistpaneldelegate.h"

// A brush row: the brush's preview, badges for eraser, brush engine and
// texture, and its name and group at the bottom right.
class MBrushListDelegate : public MListPanelDelegate
{
    Q_OBJECT
public:
    explicit MBrushListDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, QObject *item, const QRectF &rect, bool current) override;
};
