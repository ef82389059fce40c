#include "mswatchlistwidget.h"

#include "mswatchlistpanel.h"

#include <QHBoxLayout>
#include <QScrollBar>

MSwatchListWidget::MSwatchListWidget(QWidget *parent)
    : QWidget(parent)
    , m_panel(new MSwatchListPanel(this))
    , m_scrollBar(new QScrollBar(Qt::Vertical, this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel);
    layout->addWidget(m_scrollBar);
    connect(m_panel, &MSwatchListPanel::showScrollBar, this, &MSwatchListWidget::showScrollBar);
    connect(m_panel, &MSwatchListPanel::colorChanged, this, &MSwatchListWidget::colorChanged);
    connect(m_panel, &MSwatchListPanel::overColorIndexChanged, this, &MSwatchListWidget::overColorIndexChanged);
    connect(m_scrollBar, &QScrollBar::valueChanged, m_panel, &MSwatchListPanel::setOffset);
    connect(m_panel, &MSwatchListPanel::offsetChanged, m_scrollBar, &QScrollBar::setValue);
}

int MSwatchListWidget::selectedIndex() const
{
    return m_panel->selectedIndex();
}

void MSwatchListWidget::setPaletteIndex(int index)
{
    m_panel->setPaletteIndex(index);
}

void MSwatchListWidget::showScrollBar(bool visible)
{
    m_scrollBar->setVisible(visible);
    if (visible) {
        m_scrollBar->setMaximum(m_panel->maximumOffset());
        m_scrollBar->setValue(0);
    }
}
