#pragma once

#include <QColor>
#include <QDialog>
#include <QRect>

namespace Ui {
class DColorPicker;
}

// A small swatch that holds the mouse and the keyboard while it is shown,
// follows the cursor showing the screen colour under it, and reports the
// colour where the button is released; Escape closes it without a pick, and
// so does any other key but a modifier, which then goes on to the window's
// commands (a tool's key chooses that tool).
class DColorPicker : public QDialog
{
    Q_OBJECT
public:
    explicit DColorPicker(QWidget *parent = nullptr);
    ~DColorPicker() override;

    QColor color() const { return m_color; }
    // The colour shown on the screen at a global position.
    static QColor colorAt(const QPoint &globalPos);

public slots:
    // Shows the swatch beside the cursor.
    void activate();

signals:
    void colorChanged(const QColor &color, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::DColorPicker *ui;
    QColor m_color = Qt::darkGray;
    QRect m_rect;
};
