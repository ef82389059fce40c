#include "mlistwidget.h"

#include "mlistpanel.h"
#include "mlistpaneldelegate.h"
#include "mtablemodel.h"

#include <QHBoxLayout>
#include <QScrollBar>

MListWidget::MListWidget(QWidget *parent)
    : QWidget(parent), m_panel(new MListPanel(this)), m_scrollBar(new QScrollBar(Qt::Vertical, this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    m_panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(m_panel);
    layout->addWidget(m_scrollBar);

    m_scrollBar->setRange(0, 500);
    m_scrollBar->setPageStep(int(m_itemHeight * 10));
    connect(m_scrollBar, &QScrollBar::valueChanged, m_panel, &MListPanel::setFirstY);
    connect(m_panel, &MListPanel::firstYChanged, m_scrollBar, &QScrollBar::setValue);
}

void MListWidget::setItemHeight(double height)
{
    m_itemHeight = height;
    updateScrollBar();
    m_panel->update();
}

void MListWidget::setDelegate(MListPanelDelegate *delegate)
{
    m_delegate = delegate;
    m_panel->update();
}

int MListWidget::rowCount() const
{
    return m_sourceModel ? m_sourceModel->count() : 0;
}

double MListWidget::contentHeight() const
{
    return rowPitch() * rowCount() + 20;
}

int MListWidget::maximumOffset() const
{
    return qMax(0, int(contentHeight() - m_panel->height()));
}

QRectF MListWidget::rowRect(int row) const
{
    return QRectF(0, int(row * rowPitch()), m_itemWidth, rowPitch());
}

void MListWidget::updateScrollBar()
{
    // A smaller range pulls the scroll bar's value, and through it the
    // panel's offset, back within the content.
    m_scrollBar->setRange(0, maximumOffset());
    m_scrollBar->setPageStep(qMax(10, int(height() - m_itemHeight)));
}

void MListWidget::setSourceModel(MTableModel *model)
{
    if (model == m_sourceModel)
        return;
    if (m_sourceModel)
        disconnect(m_sourceModel, nullptr, this, nullptr);
    m_sourceModel = model;
    if (model) {
        connect(model, &MTableModel::currentRowChanged, this, &MListWidget::onModelCurrentRowChanged);
        connect(model, &MTableModel::countChanged, this, &MListWidget::onModelCountChanged);
        connect(model, &QObject::destroyed, this, [this] { setSourceModel(nullptr); });
    }
    updateScrollBar();
    m_panel->update();
    emit sourceModelChanged(model);
}

void MListWidget::onModelCountChanged(int)
{
    updateScrollBar();
    m_panel->update();
}

void MListWidget::onModelCurrentRowChanged(int row)
{
    if (row < 0 || row >= rowCount()) {
        m_panel->update();
        return;
    }
    const QRectF shown = rowRect(row).translated(0, -m_panel->firstY());
    if (shown.top() >= 0 && shown.bottom() <= m_panel->height()) {
        m_panel->update();
        return;
    }
    // The row comes to the top, as far as the content lets it.
    m_panel->setFirstY(qMin(int(row * rowPitch()), maximumOffset()));
    m_panel->update();
}

void MListWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_itemWidth = m_panel->width();
    updateScrollBar();
    m_panel->update();
}
