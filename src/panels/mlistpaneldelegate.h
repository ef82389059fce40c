#pragma once

#include <QObject>
#include <QRectF>

class QPainter;

// Paints one row of a list panel.
class MListPanelDelegate : public QObject
{
    Q_OBJECT
public:
    explicit MListPanelDelegate(QObject *parent = nullptr);

    virtual void paint(QPainter *painter, QObject *item, const QRectF &rect, bool current) = 0;
};
