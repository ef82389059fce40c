#pragma once

#include "mtool.h"

#include <QColor>

// The guide that draws a square grid over the document's painted area. Its
// colour and cell size are preferences, so every view shows the same grid.
class MGridTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(QColor gridColor READ gridColor WRITE set_gridColor NOTIFY gridColorChanged)
    Q_PROPERTY(int gridSize READ gridSize WRITE set_gridSize NOTIFY gridSizeChanged)
public:
    static constexpr int minimumGridSize = 2;

    explicit MGridTool(ToolId toolId = GridTool, QObject *parent = nullptr);

    QColor gridColor() const { return m_gridColor; }
    int gridSize() const { return m_gridSize; }

    void paint(QPainter *painter) override;

public slots:
    void set_gridColor(const QColor &value);
    // The preference keeps the size as given; the grid never goes below 2.
    void set_gridSize(int value);
    void activate(bool on) override;
    void colorDialog();

signals:
    void gridColorChanged(const QColor &value);
    void gridSizeChanged(int value);

private:
    QColor m_gridColor;
    int m_gridSize;
};
