#include "mcolorlistwidget.h"

#include "mcolorlist.h"
#include "menum.h"
#include "mgenerator.h"
#include "msettings.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

MColorListWidget::MColorListWidget(QWidget *parent) : QWidget(parent), m_generator(new MGenerator(this))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMinimumHeight(45);
    connect(m_generator, &MGenerator::colorListChanged, this, qOverload<>(&QWidget::update));
}

void MColorListWidget::setColorGenerator(int generator)
{
    m_generator->setColorGenerator(MEnum::ColorGenerator(generator));
}

void MColorListWidget::setBaseColor(const QColor &color)
{
    m_generator->setBaseColor(color);
}

int MColorListWidget::historyCells() const
{
    return qMax(0, qMin(MColorList::instance()->count(), MSettings::instance()->colorListLength()));
}

int MColorListWidget::generatedCells() const
{
    return qMin(m_generator->colorList().size(), 10);
}

double MColorListWidget::rowHeight() const
{
    return historyCells() > 0 ? height() / 3.0 : height() / 2.0;
}

QPair<int, int> MColorListWidget::cellAt(const QPointF &pos) const
{
    const double r = rowHeight();
    if (pos.x() < 0 || pos.x() >= width() || pos.y() < 0 || r <= 0)
        return {-1, -1};
    const int row = int(std::floor(pos.y() / r));
    const int cells = row == GeneratedRow ? generatedCells() : row == HistoryRow ? historyCells() : 0;
    if (row == ForegroundRow || cells == 0)
        return {row, -1};
    const int index = int(pos.x() / (double(width()) / cells));
    return {row, index < cells ? index : -1};
}

void MColorListWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    MColorList *list = MColorList::instance();
    const double w = width();
    const double r = rowHeight();
    painter.fillRect(QRectF(0, 0, w, r), list->currentColor());
    const int n = generatedCells();
    for (int i = 0; i < n; ++i)
        painter.fillRect(QRectF(i * w / n, r, w / n, r), m_generator->colorList().at(i));
    const int k = historyCells();
    for (int i = 0; i < k; ++i)
        painter.fillRect(QRectF(i * w / k, 2 * r, w / k, r), list->colorAt(k - 1 - i));
}

void MColorListWidget::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    const QPair<int, int> cell = cellAt(event->localPos());
    if (cell.second < 0)
        return;
    MColorList *list = MColorList::instance();
    if (cell.first == GeneratedRow) {
        list->setColor(m_generator->colorList().at(cell.second), event->modifiers());
    } else if (cell.first == HistoryRow) {
        const QColor color = list->colorAt(historyCells() - 1 - cell.second);
        list->setColor(color, event->modifiers());
        m_generator->setBaseColor(color);
    }
    update();
}
