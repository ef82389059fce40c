#include "mbrushlistdelegate.h"

#include "mbrush.h"
#include "mbrushpreviewrenderer.h"
#include "msettings.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPixmap>
#include <QStringList>

MBrushListDelegate::MBrushListDelegate(QObject *parent) : MListPanelDelegate(parent)
{
}

void MBrushListDelegate::paint(QPainter *painter, QObject *item, const QRectF &rect, bool current)
{
    painter->setPen(Qt::darkGray);
    painter->setBrush(current ? MSettings::instance()->tableSelectionColor() : QColor(Qt::white));
    painter->drawRect(rect);

    auto *brush = qobject_cast<MBrush *>(item);
    if (!brush)
        return;

    painter->drawImage(rect.topLeft(), MBrushPreviewRenderer::preview(brush));

    QStringList badges;
    if (brush->eraser())
        badges << QStringLiteral(":/icons/tools/eraser-tool.ico");
    if (!brush->shaderId().isEmpty())
        badges << QStringLiteral(":/icons/show-fx.ico");
    if (!brush->texture().isNull())
        badges << QStringLiteral(":/icons/texture.ico");
    for (int n = 0; n < badges.size(); ++n)
        painter->drawPixmap(int(rect.left() + 5 + 18 * n), int(rect.top() + 5), QPixmap(badges.at(n)));

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(9);
    painter->setFont(font);
    painter->setPen(Qt::black);
    const double height = QFontMetricsF(font).height();
    const QRectF caption(0, rect.bottom() - 5 - height, rect.right() - 5, height);
    painter->drawText(caption, Qt::AlignRight | Qt::AlignVCenter,
                      brush->description() + QStringLiteral(" [") + brush->group() + QLatin1Char(']'));
}
