#include "dpaper.h"
#include "ui_dpaper.h"

#include "dpaperlist.h"
#include "mcanvas.h"
#include "menum.h"
#include "mutility.h"

#include <QFileInfo>
#include <QMetaEnum>
#include <QtMath>

DPaper::DPaper(MCanvas *canvas, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DPaper)
    , m_canvas(canvas)
    , m_paperColor(canvas->paperColor())
{
    ui->setupUi(this);
    ui->editPaperName->setText(canvas->paperName());
    ui->cbAutoExtent->setChecked(canvas->autoExtent());
    ui->sbExtent->setValue(int(canvas->paintMargin()));
    const QMetaEnum types = QMetaEnum::fromType<MEnum::PaperType>();
    for (int i = 0; i < types.keyCount(); ++i)
        ui->cbPaperType->addItem(QCoreApplication::translate("Enum", types.key(i)), types.value(i));
    selectPaperType(canvas->paperType());
    const QRectF rect = canvas->paintedRect();
    ui->widthSpinBox->setValue(int(rect.width()));
    ui->heightSpinBox->setValue(int(rect.height()));
    m_ratio = ui->heightSpinBox->value() > 0 ? double(ui->widthSpinBox->value()) / ui->heightSpinBox->value() : 1;
    updateColorIcon();
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

void DPaper::selectPaperType(int type)
{
    ui->cbPaperType->setCurrentIndex(ui->cbPaperType->findData(type));
}

void DPaper::updateColorIcon()
{
    ui->btnEditColor->setIcon(MUtility::colorIcon(m_paperColor, 16, 16));
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
    QColor color = m_paperColor;
    if (!MUtility::pickColor(color))
        return;
    m_paperColor = color;
    updateColorIcon();
    selectPaperType(MEnum::Colored);
}

void DPaper::on_btnClearColor_clicked()
{
    m_paperColor = Qt::white;
    updateColorIcon();
}

void DPaper::on_btnEditPaper_clicked()
{
    DPaperList list(ui->editPaperName->text().trimmed(), nullptr);
    if (list.exec() != QDialog::Accepted)
        return;
    ui->editPaperName->setText(list.fileName());
    selectPaperType(MEnum::Paper);
}

void DPaper::on_btnOk_clicked()
{
    if (ui->cbPaperType->currentIndex() < 0) {
        MUtility::showMessage(QMessageBox::Critical, tr("Paper"), tr("Please choose a paper type."));
        return;
    }
    const int type = ui->cbPaperType->currentData().toInt();
    // The file keeps its own name: a lower-cased one would miss it on a
    // case-sensitive file system.
    const QString name = ui->editPaperName->text().trimmed();
    if (type == MEnum::Paper
        && (name.isEmpty() || !QFileInfo::exists(MUtility::papersDirectory(MUtility::UserPath) + name))) {
        MUtility::showMessage(QMessageBox::Critical, tr("Paper"), tr("Please choose a valid paper name."));
        return;
    }
    m_canvas->setPaperColor(m_paperColor);
    m_canvas->setPaperType(MEnum::PaperType(type));
    m_canvas->setPaperName(ui->editPaperName->text());
    m_canvas->setAutoExtent(ui->cbAutoExtent->isChecked());
    m_canvas->setPaintMargin(ui->sbExtent->value());
    if (m_sizeChanged) {
        const QPointF centre = m_canvas->paintedRect().center();
        QRectF rect(0, 0, ui->widthSpinBox->value(), ui->heightSpinBox->value());
        rect.moveCenter(centre);
        const QRectF whole(rect.toAlignedRect());
        if (whole != m_canvas->paintedRect())
            m_canvas->updatePaintedRect(whole);
    }
    accept();
}

void DPaper::on_btnCancel_clicked()
{
    reject();
}
