#pragma once

#include <QColor>
#include <QPushButton>

// A push button showing a colour as its icon; a click asks for another.
class MColorButton : public QPushButton
{
    Q_OBJECT
public:
    explicit MColorButton(QWidget *parent = nullptr);

    QColor color() const { return m_color; }

public slots:
    // Shows the colour; tells nobody.
    void setColor(const QColor &color);

signals:
    void colorChanged(const QColor &color);

protected slots:
    void changeColor();

private:
    void drawIcon();

    QColor m_color = Qt::black;
    int m_iconWidth = 24;
    int m_iconHeight = 16;
};
