#include "dpapersize.h"
#include "ui_dpapersize.h"

#include "mpapersize.h"
#include "msettingsformat.h"

#include <QGuiApplication>
#include <QIntValidator>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>

namespace {
const char *const kGroup = "PaperSize";
} // namespace

DPaperSize::DPaperSize(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DPaperSize)
{
    ui->setupUi(this);
    const struct
    {
        const char *name;
        double width;
        double height;
    } formats[] = {{"A0", 841, 1189}, {"A1", 594, 841}, {"A2", 420, 594}, {"A3", 297, 420},
                   {"A4", 210, 297},  {"A5", 148, 210}, {"A6", 105, 148}, {"A7", 74, 105},
                   {"A8", 52, 74},    {"A9", 37, 52},   {"A10", 26, 37}};
    for (const auto &format : formats) {
        ui->typeComboBox->addItem(QString::fromLatin1(format.name));
        m_formats.append(QSizeF(format.width, format.height));
    }
    const double screenDpi = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->physicalDotsPerInch() : 96;
    ui->ppiComboBox->addItem(tr("Screen dpi (%1)").arg(screenDpi, 0, 'f', 2), screenDpi);
    for (int dpi : {72, 96, 150, 300})
        ui->ppiComboBox->addItem(QString::number(dpi), dpi);
    // A typed resolution must be a whole number the list could hold.
    ui->ppiComboBox->lineEdit()->setValidator(new QIntValidator(1, 600, this));
    ui->widthDoubleSpinBox->setDecimals(2);
    ui->heightDoubleSpinBox->setDecimals(2);

    QSettings settings;
    settings.beginGroup(QLatin1String(kGroup));
    ui->typeComboBox->setCurrentIndex(settings.value(QStringLiteral("type"), 4).toInt());
    ui->ppiComboBox->setCurrentIndex(settings.value(QStringLiteral("ppi"), 2).toInt());
    ui->orientationComboBox->setCurrentIndex(settings.value(QStringLiteral("orientation"), 0).toInt());
    ui->unitComboBox->setCurrentIndex(settings.value(QStringLiteral("unit"), 0).toInt());
    onValuesChanged();
    connectFields(true);
}

DPaperSize::~DPaperSize()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(kGroup));
    settings.setValue(QStringLiteral("type"), ui->typeComboBox->currentIndex());
    settings.setValue(QStringLiteral("ppi"), ui->ppiComboBox->currentIndex());
    settings.setValue(QStringLiteral("orientation"), ui->orientationComboBox->currentIndex());
    settings.setValue(QStringLiteral("unit"), ui->unitComboBox->currentIndex());
    MSettingsFormat::sync(settings);
    delete ui;
}

int DPaperSize::pixelWidth() const
{
    return ui->pixelWidthSpinBox->value();
}

int DPaperSize::pixelHeight() const
{
    return ui->pixelHeightSpinBox->value();
}

void DPaperSize::connectFields(bool on)
{
    if (on == m_connected)
        return;
    m_connected = on;
    const auto index = QOverload<int>::of(&QComboBox::currentIndexChanged);
    const auto value = QOverload<double>::of(&QDoubleSpinBox::valueChanged);
    if (on) {
        connect(ui->typeComboBox, index, this, &DPaperSize::onValuesChanged);
        connect(ui->unitComboBox, index, this, &DPaperSize::onValuesChanged);
        connect(ui->orientationComboBox, index, this, &DPaperSize::onValuesChanged);
        connect(ui->ppiComboBox, &QComboBox::currentTextChanged, this, &DPaperSize::onValuesChanged);
        connect(ui->widthDoubleSpinBox, value, this, &DPaperSize::onWidthChanged);
        connect(ui->heightDoubleSpinBox, value, this, &DPaperSize::onHeightChanged);
    } else {
        disconnect(ui->typeComboBox, index, this, &DPaperSize::onValuesChanged);
        disconnect(ui->unitComboBox, index, this, &DPaperSize::onValuesChanged);
        disconnect(ui->orientationComboBox, index, this, &DPaperSize::onValuesChanged);
        disconnect(ui->ppiComboBox, &QComboBox::currentTextChanged, this, &DPaperSize::onValuesChanged);
        disconnect(ui->widthDoubleSpinBox, value, this, &DPaperSize::onWidthChanged);
        disconnect(ui->heightDoubleSpinBox, value, this, &DPaperSize::onHeightChanged);
    }
}

double DPaperSize::resolution() const
{
    // A listed entry carries its value; a typed one is read from its text.
    const QString text = ui->ppiComboBox->currentText();
    const int index = ui->ppiComboBox->findText(text);
    if (index >= 0)
        return ui->ppiComboBox->itemData(index).toDouble();
    bool ok = false;
    const int typed = text.trimmed().toInt(&ok);
    return ok && typed >= 1 && typed <= 600 ? typed : 0;
}

double DPaperSize::factor() const
{
    const double dpi = resolution();
    if (dpi <= 0)
        return 0;
    return ui->unitComboBox->currentIndex() == 1 ? dpi / 25.4 : dpi;
}

QSizeF DPaperSize::paperSize() const
{
    const int type = ui->typeComboBox->currentIndex();
    if (type < 0 || type >= m_formats.size())
        return QSizeF(0, 0);
    QSizeF size = m_formats.at(type);
    if (ui->orientationComboBox->currentIndex() == MPaperSize::Landscape)
        size.transpose();
    return ui->unitComboBox->currentIndex() == 0 ? size / 25.4 : size;
}

void DPaperSize::onValuesChanged()
{
    const bool wasConnected = m_connected;
    connectFields(false);
    const QSizeF size = paperSize();
    ui->widthDoubleSpinBox->setValue(size.width());
    ui->heightDoubleSpinBox->setValue(size.height());
    const double f = factor();
    ui->pixelWidthSpinBox->setValue(f > 0 ? int(f * ui->widthDoubleSpinBox->value()) : 1);
    ui->pixelHeightSpinBox->setValue(f > 0 ? int(f * ui->heightDoubleSpinBox->value()) : 1);
    connectFields(wasConnected);
}

void DPaperSize::onWidthChanged(double value)
{
    const double f = factor();
    if (f > 0)
        ui->pixelWidthSpinBox->setValue(int(f * value));
}

void DPaperSize::onHeightChanged(double value)
{
    const double f = factor();
    if (f > 0)
        ui->pixelHeightSpinBox->setValue(int(f * value));
}

void DPaperSize::on_okButton_clicked()
{
    accept();
}

void DPaperSize::on_cancelButton_clicked()
{
    reject();
}
