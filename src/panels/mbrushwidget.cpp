#include "mbrushwidget.h"
#include "ui_mbrushwidget.h"

#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushlistwidget.h"

#include <QRegExp>

MBrushWidget::MBrushWidget(QWidget *parent) : QWidget(parent), ui(new Ui::MBrushWidget)
{
    ui->setupUi(this);
    connect(ui->filterEdit, &QLineEdit::textChanged, this, &MBrushWidget::findFirst);
    connect(ui->filterEdit, &QLineEdit::returnPressed, this, &MBrushWidget::findNext);
    connect(ui->brushListWidget, &MBrushListWidget::doubleClick, this, &MBrushWidget::doubleClick);
    connect(ui->brushListWidget, &MBrushListWidget::brushValuesChanged, this, &MBrushWidget::brushValuesChanged);
}

MBrushWidget::~MBrushWidget() = default;

MBrushListWidget *MBrushWidget::brushListWidget() const
{
    return ui->brushListWidget;
}

void MBrushWidget::findFirst()
{
    findFrom(0);
}

void MBrushWidget::findNext()
{
    MBrushList *library = MBrushList::instance();
    findFrom(library->currentRow() + 1);
}

void MBrushWidget::findFrom(int start)
{
    MBrushList *library = MBrushList::instance();
    const int count = library->count();
    if (count == 0)
        return;
    // Past the last row the search goes round to the first, so that Return
    // after the last match finds the first one again.
    if (start < 1 || start >= count)
        start = 0;
    const QRegExp pattern(QLatin1Char('*') + ui->filterEdit->text().trimmed() + QLatin1Char('*'),
                          Qt::CaseInsensitive, QRegExp::Wildcard);
    int row = start;
    do {
        const MBrush *brush = library->brush(row);
        if (pattern.indexIn(brush->group() + brush->description()) != -1) {
            library->setCurrentRow(row);
            return;
        }
        row = (row + 1) % count;
    } while (row != start);
}

void MBrushWidget::on_btnSort_clicked()
{
    emit sortList();
}
