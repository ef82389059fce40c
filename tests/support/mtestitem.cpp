#include "mtestitem.h"

#include <QAbstractItemModel>

MTestSignalLog::MTestSignalLog(QObject *model)
    : QObject(model)
{
    auto *items = qobject_cast<QAbstractItemModel *>(model);
    auto add = [this](const QString &entry) { entries.append(entry); };
    if (items) {
        connect(items, &QAbstractItemModel::rowsAboutToBeInserted, this,
                [add](const QModelIndex &, int first, int last) { add(QStringLiteral("rowsAboutToBeInserted %1 %2").arg(first).arg(last)); });
        connect(items, &QAbstractItemModel::rowsInserted, this,
                [add](const QModelIndex &, int first, int last) { add(QStringLiteral("rowsInserted %1 %2").arg(first).arg(last)); });
        connect(items, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                [add](const QModelIndex &, int first, int last) { add(QStringLiteral("rowsAboutToBeRemoved %1 %2").arg(first).arg(last)); });
        connect(items, &QAbstractItemModel::rowsRemoved, this,
                [add](const QModelIndex &, int first, int last) { add(QStringLiteral("rowsRemoved %1 %2").arg(first).arg(last)); });
        connect(items, &QAbstractItemModel::rowsMoved, this,
                [add](const QModelIndex &, int first, int, const QModelIndex &, int row) {
                    add(QStringLiteral("rowsMoved %1 %2").arg(first).arg(row));
                });
        connect(items, &QAbstractItemModel::dataChanged, this,
                [add](const QModelIndex &topLeft, const QModelIndex &, const QVector<int> &roles) {
                    QStringList text;
                    for (int role : roles)
                        text.append(QString::number(role));
                    add(QStringLiteral("dataChanged %1 %2 [%3]").arg(topLeft.row()).arg(topLeft.column()).arg(text.join(QLatin1Char(','))));
                });
    }
    // The models' own signals, by name, so that one log serves every model.
    const QMetaObject *meta = model->metaObject();
    if (meta->indexOfSignal("currentRowChanged(int)") >= 0)
        connect(model, SIGNAL(currentRowChanged(int)), this, SLOT(onCurrentRowChanged(int)));
    if (meta->indexOfSignal("countChanged(int)") >= 0)
        connect(model, SIGNAL(countChanged(int)), this, SLOT(onCountChanged(int)));
}

void MTestSignalLog::onCurrentRowChanged(int row)
{
    entries.append(QStringLiteral("currentRowChanged %1").arg(row));
}

void MTestSignalLog::onCountChanged(int count)
{
    entries.append(QStringLiteral("countChanged %1").arg(count));
}
