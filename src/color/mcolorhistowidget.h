#pragma once

#include <QWidget>

// The latest colours painted with, newest on the right; a click picks one.
class MColorHistoWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MColorHistoWidget(QWidget *parent = nullptr);

    int cellCount() const;
    // The history colour shown in cell i from the left.
    QColor colorOfCell(int cell) const;

signals:
    void colorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
