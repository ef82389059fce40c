#include "mgradientpalette.h"

#include "mcolorlist.h"
#include "mconnector.h"
#include "msettings.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
const char *const kCornerKeys[4] = {"Gradient/Color1", "Gradient/Color2", "Gradient/Color3", "Gradient/Color4"};
const QColor kCornerDefaults[4] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255), QColor(255, 255, 0)};
const QColor kEditColor(QStringLiteral("#FFFF00"));
} // namespace

MGradientPalette::MGradientPalette(QWidget *parent) : QWidget(parent), m_connector(new MConnector(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_cellWidth = m_cellHeight = swatchSize();
    MSettings *settings = MSettings::instance();
    for (int i = 0; i < 4; ++i)
        m_colors[i] = settings->colorValue(QString::fromLatin1(kCornerKeys[i]), kCornerDefaults[i]);
    connectColorList();
}

int MGradientPalette::swatchSize()
{
    return qMax(1, MSettings::instance()->swatchSize());
}

QColor MGradientPalette::blend(const QColor corners[4], double u, double v)
{
    auto mix = [&](double c1, double c2, double c3, double c4) {
        return qBound(0.0, ((1 - u) * c4 + u * c3) * (1 - v) + ((1 - u) * c1 + u * c2) * v, 1.0);
    };
    return QColor::fromRgbF(mix(corners[0].redF(), corners[1].redF(), corners[2].redF(), corners[3].redF()),
                            mix(corners[0].greenF(), corners[1].greenF(), corners[2].greenF(), corners[3].greenF()),
                            mix(corners[0].blueF(), corners[1].blueF(), corners[2].blueF(), corners[3].blueF()), 1.0);
}

void MGradientPalette::connectColorList()
{
    if (m_connector->isConnected())
        return;
    m_connector->add(connect(MColorList::instance(), &MColorList::colorChanged, this, &MGradientPalette::onColorChanged));
}

void MGradientPalette::onColorChanged(const QColor &color)
{
    if (m_editedCorner >= 1 && m_editedCorner <= 4) {
        m_colors[m_editedCorner - 1] = color;
        MSettings::instance()->setColorValue(QString::fromLatin1(kCornerKeys[m_editedCorner - 1]), color);
    }
    update();
}

// Tested in this order, so that a single row or column still has its corners.
int MGradientPalette::cornerOf(int column, int row) const
{
    const int lastColumn = m_columns - 1;
    const int lastRow = m_rows - 1;
    if (row == 0 && column == 0)
        return 1;
    if (row == 0 && column == lastColumn)
        return 2;
    if (row == lastRow && column == lastColumn)
        return 3;
    if (row == lastRow && column == 0)
        return 4;
    return -1;
}

void MGradientPalette::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int s = swatchSize();
    m_columns = qMax(width() / s, 1);
    m_rows = qMax(height() / s, 1);
    m_cellWidth = width() / m_columns;
    m_cellHeight = height() / m_rows;
    update();
}

void MGradientPalette::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double w = qMax(width(), 1);
    const double hm = qMax(height(), 1);
    for (int i = 0; i < m_rows; ++i) {
        for (int j = 0; j < m_columns; ++j) {
            const QRect cell(j * m_cellWidth, i * m_cellHeight, m_cellWidth, m_cellHeight);
            const QPointF c = QRectF(cell).center();
            painter.fillRect(cell, blendAt(c.x() / w, (hm - c.y()) / hm));
            const int corner = cornerOf(j, i);
            QColor outline;
            if (corner > 0)
                outline = corner == m_editedCorner ? kEditColor : QColor(Qt::darkGray);
            else if (j == m_selectedColumn && i == m_selectedRow)
                outline = kEditColor;
            if (!outline.isValid())
                continue;
            painter.setPen(QPen(outline, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(cell);
        }
    }
}

void MGradientPalette::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    const int x = event->pos().x();
    const int y = event->pos().y();
    const int column = x / m_cellWidth;
    const int row = y / m_cellHeight;
    // The strip beyond the last whole cell is not part of the grid.
    if (x < 0 || y < 0 || column >= m_columns || row >= m_rows)
        return;
    m_connector->disconnectAll();
    m_editedCorner = cornerOf(column, row);
    if (m_editedCorner < 0) {
        m_selectedColumn = column;
        m_selectedRow = row;
    }
    const double hm = qMax(height(), 1);
    MColorList::instance()->setColor(blendAt(x / double(qMax(width(), 1)), (hm - y) / hm), event->modifiers());
    connectColorList();
    update();
}

void MGradientPalette::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        m_editedCorner = -1;
        update();
    }
}

void MGradientPalette::leaveEvent(QEvent *)
{
    update();
}
