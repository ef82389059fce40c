#pragma once

#include <QColor>
#include <QWidget>

class MConnector;

// A grid of cells blending four corner colours. A press on a cell picks the
// blend under the pointer; a press on a corner cell also makes that corner
// follow every later colour change until Escape or a press elsewhere.
class MGradientPalette : public QWidget
{
    Q_OBJECT
public:
    explicit MGradientPalette(QWidget *parent = nullptr);

    // u from 0 (left) to 1 (right), v from 1 (top) to 0 (bottom).
    static QColor blend(const QColor corners[4], double u, double v);
    QColor blendAt(double u, double v) const { return blend(m_colors, u, v); }

    QColor cornerColor(int corner) const { return m_colors[qBound(1, corner, 4) - 1]; }
    // 1 top-left, 2 top-right, 3 bottom-right, 4 bottom-left; -1 none.
    int editedCorner() const { return m_editedCorner; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int cellWidth() const { return m_cellWidth; }
    int cellHeight() const { return m_cellHeight; }
    QPoint selectedCell() const { return QPoint(m_selectedColumn, m_selectedRow); }

public slots:
    void onColorChanged(const QColor &color);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void connectColorList();
    int cornerOf(int column, int row) const;
    // A stored size below 1 would divide by zero.
    static int swatchSize();

    int m_cellWidth;
    int m_cellHeight;
    int m_editedCorner = -1;
    int m_columns = 1;
    int m_rows = 1;
    QColor m_colors[4];
    MConnector *m_connector;
    int m_selectedColumn = -1;
    int m_selectedRow = -1;
};
