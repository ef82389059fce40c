#pragma once

#include <QColor>
#include <QDialog>
#include <QRect>

namespace Ui {
class DGrabWidget;
}

// A small square that holds the mouse while it is active and follows the
// cursor, green over a tool bar and red elsewhere. The first mouse release
// or Escape ends it.
class DGrabWidget : public QDialog
{
    Q_OBJECT
public:
    explicit DGrabWidget(QWidget *parent = nullptr);
    ~DGrabWidget() override;

public slots:
    // Shows the square beside the cursor without a modal loop.
    void activate();

protected:
    bool event(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void finish();

    Ui::DGrabWidget *ui;
    QRect m_rect;
    QColor m_color = Qt::red;
};
