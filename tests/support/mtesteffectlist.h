#pragma once

#include <QModelIndex>
#include <QString>

class QTableView;

// Rows of the effect library as a table view over it shows them.
namespace MTestEffectList {

// The cell of the row showing the effect of that description, in the first
// column the view shows (so it can be clicked); invalid when no row shows it.
QModelIndex cellOf(const QTableView *view, const QString &description);

} // namespace MTestEffectList
