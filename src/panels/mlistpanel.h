#pragma once

#include <QWidget>

class MListWidget;

// The painted area of a list widget: its rows from the content offset firstY
// down, scrolled by keys and the wheel, chosen by the mouse.
class MListPanel : public QWidget
{
    Q_OBJECT
public:
    explicit MListPanel(MListWidget *listWidget);

    MListWidget *listWidget() const { return m_listWidget; }
    int firstY() const { return m_firstY; }
    int step() const { return m_step; }
    // The row under a point of the panel, -1 when there is none.
    int rowAt(const QPoint &point) const;

public slots:
    void setFirstY(int y);

signals:
    void firstYChanged(int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Moves the offset by delta, kept within the content.
    void scrollBy(int delta);
    void chooseRowAt(const QPoint &point, bool doubleClick);

    MListWidget *m_listWidget;
    int m_firstY = 0;
    int m_step = 50;
};
