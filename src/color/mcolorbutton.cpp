#include "mcolorbutton.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

MColorButton::MColorButton(QWidget *parent) : QPushButton(parent)
{
    setIconSize(QSize(m_iconWidth, m_iconHeight));
    drawIcon();
    connect(this, &QPushButton::clicked, this, &MColorButton::changeColor);
}

void MColorButton::setColor(const QColor &color)
{
    m_color = color;
    drawIcon();
}

void MColorButton::changeColor()
{
    const QColor color = QColorDialog::getColor(m_color, this, tr("Color"));
    if (!color.isValid())
        return;
    m_color = color;
    drawIcon();
    emit colorChanged(color);
}

void MColorButton::drawIcon()
{
    QPixmap pixmap(m_iconWidth, m_iconHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QColor opaque = m_color;
    opaque.setAlpha(255);
    painter.setBrush(opaque);
    painter.setPen(QPen(Qt::darkGray));
    painter.drawRect(0, 0, m_iconWidth - 1, m_iconHeight - 1);
    painter.end();
    setIcon(QIcon(pixmap));
}
