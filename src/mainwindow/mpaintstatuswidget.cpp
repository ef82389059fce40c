#include "mpaintstatuswidget.h"

#include <QHBoxLayout>
#include <QLabel>

MPaintStatusWidget::MPaintStatusWidget(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
}

QString MPaintStatusWidget::text() const
{
    return m_label->text();
}

void MPaintStatusWidget::setCanvasRect(const QRectF &rect)
{
    m_label->setText(QStringLiteral("%1 - %2").arg(QString::number(rect.width()), QString::number(rect.height())));
}
