#include "mfillcanvasrunner.h"

#include <QDebug>

MFillCanvasRunner::MFillCanvasRunner(MSharedData *sharedData, int row, const QColor &color)
    : m_sharedData(sharedData)
    , m_row(row)
    , m_color(color)
{
}

void MFillCanvasRunner::run()
{
    qDebug().noquote() << QStringLiteral("mfillcanvasrunner::MFillCanvasRunner::run") << QStringLiteral("fill skipped");
}
