#include "dproperties.h"
#include "ui_dproperties.h"

#include "mdocumentrenderer.h"
#include "mlayerstack.h"
#include "mpaper.h"
#include "mhistogram.h"

DProperties::DProperties(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DProperties)
    , m_histogram(new MHistogram(this))
{
    ui->setupUi(this);
    ui->cbRedChannel->setChecked(m_histogram->showRed());
    ui->cbGreenChannel->setChecked(m_histogram->showGreen());
    ui->cbBlueChannel->setChecked(m_histogram->showBlue());
    ui->cbGrayScale->setChecked(m_histogram->showGray());
    connect(ui->cbRedChannel, &QCheckBox::clicked, m_histogram, &MHistogram::set_showRed);
    connect(ui->cbGreenChannel, &QCheckBox::clicked, m_histogram, &MHistogram::set_showGreen);
    connect(ui->cbBlueChannel, &QCheckBox::clicked, m_histogram, &MHistogram::set_showBlue);
    connect(ui->cbGrayScale, &QCheckBox::clicked, m_histogram, &MHistogram::set_showGray);
    ui->widget->setHistogram(m_histogram);
}

DProperties::~DProperties()
{
    delete ui;
}

void DProperties::setDocument(MPaper *paper, MLayerStack *layers, MDocumentRenderer *renderer)
{
    if (!paper || !layers || !renderer)
        return;
    const QRectF rect = paper->paintedRect();
    ui->widthLabel->setText(QStringLiteral("%1").arg(rect.width()));
    ui->heightLabel->setText(QStringLiteral("%1").arg(rect.height()));
    ui->layersLabel->setText(QString::number(layers->count()));
    m_histogram->compute(renderer->flattenedImage(QStringLiteral("basic")));
}
