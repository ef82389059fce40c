#include "mcolorswatchwidget.h"

#include "mcolorswatchpanel.h"

#include <QHBoxLayout>
#include <QScrollBar>

MColorSwatchWidget::MColorSwatchWidget(QWidget *parent)
    : QWidget(parent)
    , m_panel(new MColorSwatchPanel(this))
    , m_scrollBar(new QScrollBar(Qt::Vertical, this))
{
    m_panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_scrollBar->setRange(0, 500);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel);
    layout->addWidget(m_scrollBar);
    connect(m_scrollBar, &QScrollBar::valueChanged, m_panel, &MColorSwatchPanel::setFirstY);
    connect(m_panel, &MColorSwatchPanel::firstYChanged, m_scrollBar, &QScrollBar::setValue);
    connect(m_panel, &MColorSwatchPanel::colorChanged, this, &MColorSwatchWidget::colorChanged);
}

void MColorSwatchWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_scrollBar->setRange(0, m_panel->maximumFirstY());
    update();
}
