#pragma once

#include <QWidget>

class MGenerator;

// The strip under the colour panel: the foreground colour, the colours
// generated from it, and the colour history newest first.
class MColorListWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MColorListWidget(QWidget *parent = nullptr);

    MGenerator *generator() const { return m_generator; }

    // Rows of the strip: the foreground, the generated colours, the history.
    enum Row { ForegroundRow, GeneratedRow, HistoryRow };
    // The cell under pos as (row, index); index -1 when pos is in no cell.
    QPair<int, int> cellAt(const QPointF &pos) const;

public slots:
    void setColorGenerator(int generator);
    void setBaseColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    // The history cells shown: never more than the history or its setting.
    int historyCells() const;
    int generatedCells() const;
    double rowHeight() const;

    MGenerator *m_generator;
};
