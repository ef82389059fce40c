#include "dpaper.h"
#include "ui_dpaper.h"

#include "menum.h"
#include "mpaper.h"
#include "mpaperfields.h"

#include <QFileInfo>
#include <QMetaEnum>
#include <QtMath>

DPaper::DPaper(MPaper *paper, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DPaper)
    , m_document(paper)
{
    ui->setupUi(this);
    m_paper = new MPaperFields(ui->cbPaperType, ui->editPaperName, ui->btnEditColor, this);
    m_paper->fill(paper->paperType(), paper->paperName(), paper->paperColor());
    ui->cbAutoExtent->setChecked(paper->autoExtent());
    ui->sbExtent->setValue(int(paper->paintMargin()));
    const QRectF rect = paper->paintedRect();
    ui->widthSpinBox->setValue(int(rect.width()));
    ui->heightSpinBox->setValue(int(rect.height()));
    m_ratio = ui->heightSpinBox->value() > 0 ? double(ui->widthSpinBox->value()) / ui->heightSpinBox->value() : 1;
    connect(ui->cbAutoExtent, &QCheckBox::clicked, this, &DPaper::autoExtentChanged);
    connectSize(true);
}

DPaper::~DPaper()
{
    delete ui;
}

void DPaper::connectSize(bool on)
{
    const auto changed = QOverload<int>::of(&QSpinBox::valueChanged);
    if (on) {
        connect(ui->widthSpinBox, changed, this, &DPaper::widthChanged);
        connect(ui->heightSpinBox, changed, this, &DPaper::heightChanged);
    } else {
        disconnect(ui->widthSpinBox, changed, this, &DPaper::widthChanged);
        disconnect(ui->heightSpinBox, changed, this, &DPaper::heightChanged);
    }
}

void DPaper::autoExtentChanged(bool) {}

void DPaper::widthChanged(int width)
{
    connectSize(false);
    if (ui->cbLock->isChecked())
        ui->heightSpinBox->setValue(qRound(width / m_ratio));
    else
        m_ratio = double(width) / ui->heightSpinBox->value();
    m_sizeChanged = true;
    connectSize(true);
}

void DPaper::heightChanged(int height)
{
    connectSize(false);
    if (ui->cbLock->isChecked())
        ui->widthSpinBox->setValue(qRound(height * m_ratio));
    else
        m_ratio = double(ui->widthSpinBox->value()) / height;
    m_sizeChanged = true;
    connectSize(true);
}

void DPaper::on_btnEditColor_clicked()
{
    m_paper->editColor();
}

void DPaper::on_btnClearColor_clicked()
{
    m_paper->setColor(Qt::white);
}

void DPaper::on_btnEditPaper_clicked()
{
    m_paper->editPaper();
}

void DPaper::on_btnOk_clicked()
{
    if (!m_paper->check(tr("Paper")))
        return;
    m_document->setPaperColor(m_paper->color());
    m_document->setPaperType(MEnum::PaperType(m_paper->type()));
    m_document->setPaperName(ui->editPaperName->text());
    m_document->setAutoExtent(ui->cbAutoExtent->isChecked());
    m_document->setPaintMargin(ui->sbExtent->value());
    if (m_sizeChanged) {
        const QPointF centre = m_document->paintedRect().center();
        QRectF rect(0, 0, ui->widthSpinBox->value(), ui->heightSpinBox->value());
        rect.moveCenter(centre);
        const QRectF whole(rect.toAlignedRect());
        if (whole != m_document->paintedRect())
            emit paintedRectWanted(whole);
    }
    accept();
}

void DPaper::on_btnCancel_clicked()
{
    reject();
}
