#pragma once

#include <QWidget>

class MSwatchListPanel;
class QScrollBar;

// The swatch grid with its scroll bar beside it.
class MSwatchListWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MSwatchListWidget(QWidget *parent = nullptr);

    MSwatchListPanel *panel() const { return m_panel; }
    QScrollBar *scrollBar() const { return m_scrollBar; }
    int selectedIndex() const;

public slots:
    void setPaletteIndex(int index);

private slots:
    void showScrollBar(bool visible);

signals:
    void colorChanged(const QColor &color, Qt::KeyboardModifiers modifiers);
    void overColorIndexChanged(int index);

private:
    MSwatchListPanel *m_panel;
    QScrollBar *m_scrollBar;
};
