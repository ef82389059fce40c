#include "dcontext.h"
#include "ui_dcontext.h"

#include "dcontextsetup.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mconnector.h"
#include "mlayeredits.h"
#include "mlayerstack.h"
#include "mtexturelayer.h"
#include "mwidget.h"

#include <QKeyEvent>
#include <QPainter>
#include <QSettings>

DContext::DContext(MWidget *view, MLayerStack *layers, MLayerEdits *edits, QWidget *parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint)
    , ui(new Ui::DContext)
    , m_view(view)
    , m_layers(layers)
    , m_edits(edits)
    , m_connector(new MConnector(this))
{
    ui->setupUi(this);
    QSettings settings;
    settings.beginGroup(QStringLiteral("ContextDialog"));
    const bool translucent = settings.value(QStringLiteral("translucent"), true).toBool();
    setAttribute(Qt::WA_TranslucentBackground, translucent);
    setWindowFlag(Qt::NoDropShadowWindowHint, translucent);
    ui->brushSizeWidget->setVisible(settings.value(QStringLiteral("showBrushSizes"), true).toBool());
    ui->paletteWidget->setVisible(settings.value(QStringLiteral("showColorPalette"), true).toBool());
    ui->colorHistoWidget->setVisible(settings.value(QStringLiteral("showColorHisto"), true).toBool());
    ui->brushListWidget->setVisible(settings.value(QStringLiteral("showBrushList"), true).toBool());
    setFocus(Qt::PopupFocusReason);
    fillFromLayer();
    connectEditors();
}

DContext::~DContext()
{
    delete ui;
}

void DContext::place(const QPointF &viewPosition)
{
    if (!m_view)
        return;
    const QPoint global = m_view->mapToGlobal(viewPosition.toPoint());
    const int w = width();
    const int h = height();
    setGeometry(qMax(m_view->x(), global.x() - w / 2), qMax(m_view->y(), global.y() - h / 2), w, h);
}

void DContext::connectEditors()
{
    m_connector->add(connect(ui->opacitySlider, &QSlider::valueChanged, this, &DContext::setLayerOpacity))
        ->add(connect(ui->opacitySlider, &QSlider::sliderReleased, this, &DContext::doClose))
        ->add(connect(ui->visibleCheckBox, &QCheckBox::clicked, this, &DContext::setLayerVisible))
        ->add(connect(ui->lockedCheckBox, &QCheckBox::clicked, this, &DContext::setLayerLocked))
        ->add(connect(ui->colorHistoWidget, &MColorHistoWidget::colorChanged, this, &DContext::doClose))
        ->add(connect(ui->brushSizeWidget, &MBrushSizeWidget::brushSizeChanged, this, &DContext::setBrushSize))
        ->add(connect(ui->paletteWidget, &MColorSwatchWidget::colorChanged, this, &DContext::doClose));
}

MTextureLayer *DContext::currentLayer() const
{
    return m_view && m_layers ? m_layers->current() : nullptr;
}

void DContext::fillFromLayer()
{
    MTextureLayer *layer = currentLayer();
    ui->opacitySlider->setEnabled(layer);
    ui->visibleCheckBox->setEnabled(layer);
    ui->lockedCheckBox->setEnabled(layer);
    ui->groupBox->setEnabled(layer);
    if (layer) {
        ui->opacitySlider->setValue(int(layer->opacity() * 100));
        ui->visibleCheckBox->setChecked(layer->visible());
        ui->lockedCheckBox->setChecked(layer->locked());
        ui->groupBox->setTitle(layer->name());
    } else {
        ui->groupBox->setTitle(tr("No layer"));
    }
    const bool several = m_view && m_layers && m_layers->count() > 1;
    ui->previousLayerButton->setEnabled(several);
    ui->nextLayerButton->setEnabled(several);
}

void DContext::setLayerOpacity(int value)
{
    MTextureLayer *layer = currentLayer();
    if (!layer)
        return;
    layer->setOpacity(value / 100.0);
    m_view->update();
}

void DContext::setLayerVisible(bool value)
{
    MTextureLayer *layer = currentLayer();
    if (!layer)
        return;
    layer->setVisible(value);
    doClose();
}

void DContext::setLayerLocked(bool value)
{
    MTextureLayer *layer = currentLayer();
    if (!layer)
        return;
    layer->setLocked(value);
    doClose();
}

void DContext::setBrushSize(double size)
{
    MBrush *brush = MBrushList::instance()->currentBrush();
    if (!brush)
        return;
    brush->setRadius(size);
    doClose();
}

void DContext::on_previousLayerButton_clicked()
{
    if (!m_view || !m_edits)
        return;
    m_connector->disconnectAll();
    m_edits->previousLayer();
    fillFromLayer();
    connectEditors();
}

void DContext::on_nextLayerButton_clicked()
{
    if (!m_view || !m_edits)
        return;
    m_connector->disconnectAll();
    m_edits->nextLayer();
    fillFromLayer();
    connectEditors();
}

void DContext::on_setupButton_clicked()
{
    DContextSetup setup(this);
    setup.exec();
}

void DContext::doClose()
{
    close();
}

void DContext::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DContext::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(0.5);
    painter.fillRect(rect(), QColor(220, 220, 220));
}
