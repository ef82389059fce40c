#pragma once

#include <QWidget>

class MPalette;

// A palette of the palette library as a grid of framed square swatches:
// reports the swatch under the pointer and the one clicked, and moves a
// colour when one swatch is dragged onto another.
class MSwatchListPanel : public QWidget
{
    Q_OBJECT
    friend class MSwatchListWidget;

public:
    explicit MSwatchListPanel(QWidget *parent = nullptr);

    int swatchSize() const { return m_swatchSize; }
    int paletteIndex() const { return m_paletteIndex; }
    int offset() const { return m_offset; }
    int selectedIndex() const { return m_selectedIndex; }
    int hoverIndex() const { return m_hoverIndex; }
    int columns() const { return m_columns; }
    int maximumOffset() const;
    // -1 when no swatch is there.
    int indexAt(const QPoint &point) const;
    QRect cellRect(int index) const;

public slots:
    void setPaletteIndex(int index);

private slots:
    void setOffset(int value);
    void setSwatchSize(int value);

signals:
    void colorChanged(const QColor &color, Qt::KeyboardModifiers modifiers);
    void showScrollBar(bool visible);
    void offsetChanged(int value);
    void overColorIndexChanged(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    MPalette *palette() const;
    int rowsNeeded() const;
    void relayout();

    int m_swatchSize;
    int m_paletteIndex = -1;
    int m_offset = 0;
    int m_selectedIndex = -1;
    int m_hoverIndex = -1;
    int m_columns = 1;
    bool m_dragging = false;
    // Whether the press that started the drag landed on a swatch.
    bool m_pressedOnSwatch = false;
};
