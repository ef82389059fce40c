#pragma once

#include <QVector>
#include <QWidget>

// A row of brush sizes to pick from, drawn as growing discs.
class MBrushSizeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MBrushSizeWidget(QWidget *parent = nullptr);

    static const QVector<double> &sizes();
    int hoverIndex() const { return m_hoverIndex; }
    // -1 outside the cells.
    int cellAt(const QPoint &point) const;

signals:
    void brushSizeChanged(double size);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int m_hoverIndex = -1;
};
