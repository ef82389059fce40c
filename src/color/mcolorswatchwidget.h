#pragma once

#include <QWidget>

class MColorSwatchPanel;
class QScrollBar;

// The swatch grid of the current palette with its scroll bar.
class MColorSwatchWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MColorSwatchWidget(QWidget *parent = nullptr);

    MColorSwatchPanel *panel() const { return m_panel; }
    QScrollBar *scrollBar() const { return m_scrollBar; }

signals:
    void colorChanged(const QColor &color, Qt::KeyboardModifiers modifiers);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    MColorSwatchPanel *m_panel;
    QScrollBar *m_scrollBar;
};
