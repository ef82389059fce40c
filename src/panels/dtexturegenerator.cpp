#include "dtexturegenerator.h"
#include "ui_dtexturegenerator.h"

#include "mbrushtexturegenerator.h"
#include "mcloudtexturegenerator.h"
#include "mconnector.h"
#include "mfilesavedialog.h"
#include "mlogger.h"
#include "mmarbletexturegenerator.h"
#include "mnoisetexturegenerator.h"
#include "mutility.h"

#include <QPixmap>

DTextureGenerator::DTextureGenerator(QWidget *parent)
    : QDialog(parent), ui(new Ui::DTextureGenerator), m_connector(new MConnector(this))
{
    ui->setupUi(this);
    for (QSpinBox *edit : {ui->widthEdit, ui->heightEdit}) {
        edit->setRange(1, 1024);
        edit->setValue(256);
    }
    ui->textureLabel->clear();
    ui->textureLabel->setFrameShape(QFrame::Box);
    ui->textureLabel->setAlignment(Qt::AlignCenter);

    ui->generatorEdit->clear();
    addGenerator(new MBrushTextureGenerator(this), tr("Brush texture"));
    addGenerator(new MCloudTextureGenerator(this), tr("Cloud texture"));
    addGenerator(new MNoiseTextureGenerator(this), tr("Noise texture"));
    addGenerator(new MMarbleTextureGenerator(this), tr("Marble texture"));

    ui->panel->setFields(m_generators.first()->parameters());
    ui->panel->setObject(m_generators.first());
    generate();

    if (!m_connector->isConnected()) {
        m_connector->add(connect(ui->generateButton, &QPushButton::clicked, this, &DTextureGenerator::generate))
            ->add(connect(ui->widthEdit, QOverload<int>::of(&QSpinBox::valueChanged), this,
                          &DTextureGenerator::generate))
            ->add(connect(ui->heightEdit, QOverload<int>::of(&QSpinBox::valueChanged), this,
                          &DTextureGenerator::generate))
            ->add(connect(ui->generatorEdit, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                          &DTextureGenerator::setPanel));
    }
    generate();
}

DTextureGenerator::~DTextureGenerator()
{
    // The panel writes into the generators: it lets go of them first.
    ui->panel->setObject(nullptr);
    qDeleteAll(m_generators);
    m_generators.clear();
    delete ui;
}

void DTextureGenerator::addGenerator(MTextureGenerator *generator, const QString &name)
{
    m_generators.append(generator);
    connect(generator, &MTextureGenerator::valueChanged, this, &DTextureGenerator::generate);
    ui->generatorEdit->addItem(name);
}

void DTextureGenerator::generate()
{
    const int index = ui->generatorEdit->currentIndex();
    if (index < 0 || index >= m_generators.size())
        return;
    MTextureGenerator *generator = m_generators.at(index);
    generator->setSize(ui->widthEdit->value(), ui->heightEdit->value());
    m_texture = generator->generateTexture();
    ui->textureLabel->setPixmap(QPixmap::fromImage(m_texture));
}

void DTextureGenerator::setPanel(int index)
{
    if (index < 0 || index >= m_generators.size())
        return;
    ui->panel->setFields(m_generators.at(index)->parameters());
    ui->panel->setObject(m_generators.at(index));
    generate();
}

void DTextureGenerator::on_saveButton_clicked()
{
    if (m_texture.isNull())
        return;
    MFileSaveDialog dialog(tr("Save texture"), MFileDialog::ImageLocation, this);
    MUtility::imageMimeFilters(&dialog, QStringLiteral("png"));
    const QString fileName = dialog.getFileName();
    if (!fileName.isEmpty())
        saveTo(fileName);
}

bool DTextureGenerator::saveTo(const QString &fileName)
{
    QString reason;
    if (MUtility::writeImage(m_texture, fileName, reason))
        return true;
    MLogger::instance()->systemError(QStringLiteral("Unable to write texture %1: %2").arg(fileName, reason));
    MUtility::showMessage(QMessageBox::Critical, tr("Save texture"), tr("Cannot save the texture to %1.").arg(fileName),
                          QMessageBox::Ok, QMessageBox::NoButton, reason);
    return false;
}
