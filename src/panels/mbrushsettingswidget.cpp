#include "mbrushsettingswidget.h"
#include "ui_mbrushsettingswidget.h"

#include "dbrushsettings.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushsettinginfolist.h"
#include "mconnector.h"
#include "mfield.h"
#include "mfieldpanel.h"
#include "msettingcategory.h"
#include "mshader.h"
#include "mshaderlist.h"

#include <QAction>
#include <QMenu>
#include <QScrollArea>

MBrushSettingsWidget::MBrushSettingsWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui_MBrushSettingsWidget),
      m_resetAction(new QAction(QIcon(QStringLiteral(":/icons/refresh.ico")), tr("Reset settings"), this)),
      m_saveAction(new QAction(QIcon(QStringLiteral(":/icons/file-save.ico")), tr("Save settings"), this)),
      m_moreSettingsAction(new QAction(QIcon(QStringLiteral(":/icons/gear.ico")), tr("More settings"), this)),
      m_connector(new MConnector(this))
{
    ui->setupUi(this);
    // Scrolled, so that a long page never makes the dock taller than the window.
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    m_fieldPanel = new MFieldPanel(scroll);
    m_fieldPanel->setObjectName(QStringLiteral("fieldPanel"));
    scroll->setWidget(m_fieldPanel);
    ui->verticalLayout->addWidget(scroll);
    auto *menu = new QMenu(this);
    menu->addActions({m_resetAction, m_saveAction, m_moreSettingsAction});
    ui->btnReset->setMenu(menu);
    ui->btnReset->setDefaultAction(m_resetAction);
    connect(m_resetAction, &QAction::triggered, this, &MBrushSettingsWidget::onReset);
    connect(m_saveAction, &QAction::triggered, this, &MBrushSettingsWidget::onSave);
    connect(m_moreSettingsAction, &QAction::triggered, this, &MBrushSettingsWidget::onMoreSettings);
    fillPages(nullptr);
    connectSignals();
}

MBrushSettingsWidget::~MBrushSettingsWidget()
{
    m_connector->disconnectAll();
}

MBrush *MBrushSettingsWidget::currentBrush()
{
    return qobject_cast<MBrush *>(MBrushList::instance()->current());
}

void MBrushSettingsWidget::fillPages(MBrush *brush)
{
    m_connector->disconnectAll();
    QComboBox *pages = ui->quickSettingsComboBox;
    pages->clear();
    pages->addItem(tr("Preferred settings"), int(preferedPageId));
    const QVector<MSettingCategory *> categories = MBrushSettingInfoList::instance()->categories();
    for (int i = 0; i < categories.size(); ++i)
        pages->addItem(categories.at(i)->description(), i);
    if (brush && !brush->shaderId().isEmpty()) {
        MShader *engine = MShaderList::instance()->find(brush->shaderId());
        if (engine && engine->parseParams() && engine->paramCount() > 0)
            pages->insertItem(0, tr("Engine parameters"), int(enginePageId));
    }
    pages->setCurrentIndex(0);
    connectSignals();
    createPanel();
}

void MBrushSettingsWidget::setBrush(MBrush *brush)
{
    fillPages(brush);
    createPanel();
}

void MBrushSettingsWidget::createPanel()
{
    MBrush *brush = currentBrush();
    if (!brush)
        return;
    m_connector->disconnectAll();
    const QVariant data = ui->quickSettingsComboBox->currentData();
    if (data.type() != QVariant::Int) {
        connectSignals();
        return;
    }
    const int page = data.toInt();
    if (page == preferedPageId) {
        m_fieldPanel->setFields(DBrushSettings::quickSettingFields(brush));
        m_fieldPanel->setObject(brush);
    } else if (page == enginePageId) {
        MShader *engine = brush->shaderId().isEmpty() ? nullptr : MShaderList::instance()->find(brush->shaderId());
        if (!engine) {
            m_fieldPanel->setObject(nullptr);
        } else if (engine->parseParams()) {
            m_fieldPanel->setFields(DBrushSettings::engineFields(engine));
            m_fieldPanel->setObject(brush->shaderValues());
        }
        // An engine whose parameters do not read leaves the panel as it was.
    } else {
        m_fieldPanel->setBrushSettingGroup(page);
        m_fieldPanel->setObject(brush);
    }
    // The dock lays the panel out; only the new page's size is announced.
    m_fieldPanel->updateGeometry();
    connectSignals();
}

void MBrushSettingsWidget::connectSignals()
{
    if (m_connector->isConnected())
        return;
    MBrushList *library = MBrushList::instance();
    m_connector
        ->add(connect(ui->quickSettingsComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                      &MBrushSettingsWidget::createPanel))
        ->add(connect(library, &MBrushList::currentRowChanged, this, &MBrushSettingsWidget::createPanel))
        ->add(connect(library, &MBrushList::dataChanged, m_fieldPanel, &MFieldPanel::valuesToWidgets));
}

void MBrushSettingsWidget::resetBrushSettings()
{
    onReset();
}

void MBrushSettingsWidget::onReset()
{
    if (MBrush *brush = currentBrush()) {
        brush->reload();
        createPanel();
    }
}

void MBrushSettingsWidget::onSave()
{
    MBrush *brush = currentBrush();
    if (!brush)
        return;
    brush->updatePreview();
    DBrushSettings::saveBrush(brush, true);
}

void MBrushSettingsWidget::onMoreSettings()
{
    MBrush *brush = currentBrush();
    if (!brush)
        return;
    {
        DBrushSettings dialog(this);
        dialog.setBrush(brush);
        dialog.exec();
    }
    fillPages(brush);
    createPanel();
}
