#pragma once

#include <QWidget>

// A read-only, scrolling grid of the current palette's colours; a click
// sets the painter's colour.
class MColorSwatchPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double swatchSize READ swatchSize WRITE set_swatchSize NOTIFY swatchSizeChanged)
public:
    explicit MColorSwatchPanel(QWidget *parent = nullptr);

    double swatchSize() const { return m_swatchSize; }
    int firstY() const { return m_firstY; }
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    int maximumFirstY() const;
    // -1 when no colour is there.
    int indexAt(int row, int column) const;

public slots:
    void set_swatchSize(double value);
    void setFirstY(int value);

signals:
    void swatchSizeChanged(double value);
    void colorChanged(const QColor &color, Qt::KeyboardModifiers modifiers);
    void firstYChanged(int value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int columnCount() const;
    int rowOf(int index) const;
    void layOut();
    void scrollTo(int value);

    double m_swatchSize = 16.0;
    int m_rows = 0;
    int m_columns = 0;
    int m_firstY = 0;
};
