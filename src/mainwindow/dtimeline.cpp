#include "dtimeline.h"
#include "ui_dtimeline.h"

#include "mdocumentparts.h"
#include "mdocumentrenderer.h"
#include "mfolders.h"
#include "mlayerstack.h"
#include "msettingsformat.h"
#include "mutility.h"
#include "mwidget.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QSettings>

DTimeLine::DTimeLine(MWidget *view, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DTimeLine)
    , m_view(view)
{
    ui->setupUi(this);
    ui->skipBackwardBtn->setIcon(QIcon(QStringLiteral(":/icons/skip-bacward.ico")));
    ui->playBackwardBtn->setIcon(QIcon(QStringLiteral(":/icons/play-backward.ico")));
    ui->playForwardBtn->setIcon(QIcon(QStringLiteral(":/icons/play-forward.ico")));
    ui->skipForwardBtn->setIcon(QIcon(QStringLiteral(":/icons/skip-forward.ico")));
    ui->runBtn->setIcon(QIcon(QStringLiteral(":/icons/run.ico")));
    ui->stopBtn->setIcon(QIcon(QStringLiteral(":/icons/stop.ico")));
    ui->saveBtn->setIcon(QIcon(QStringLiteral(":/icons/file-save.ico")));

    QSettings settings;
    setFrameRate(settings.value(QStringLiteral("timelineFrameRate"), 15).toInt());
    setIntervalDuration(settings.value(QStringLiteral("timelineIntervalDuration"), 1000).toInt());
    updateInterval();
    setShowPreviousFrame(settings.value(QStringLiteral("timelineShowPreviousFrame"), false).toBool());
    // The view keeps its own flag: it must follow this one from the start.
    m_view->set_firstLayerAsBackground(false);
    set_firstLayerAsBackground(settings.value(QStringLiteral("timeLineFirstLayerAsBackground"), false).toBool());
    setCount(layerCount());

    ui->frameRateSb->setValue(m_frameRate);
    ui->intervalDurationSb->setValue(m_intervalDuration);
    ui->showPreviousCb->setChecked(m_showPreviousFrame);
    ui->firstLayerAsBackgroundCb->setChecked(m_firstLayerAsBackground);
    ui->prefixEdit->setText(settings.value(QStringLiteral("timeLinePrefix"), QStringLiteral("image-")).toString());
    ui->directoryEdit->setText(
        settings.value(QStringLiteral("timeLineDirectory"), QString(MFolders::userDocumentsPath() + QStringLiteral("export")))
            .toString());
    ui->cbDateTime->setChecked(settings.value(QStringLiteral("timeLineAddDateTime"), true).toBool());
    ui->reverseOrderCb->setChecked(settings.value(QStringLiteral("timeLineReverseOrder"), false).toBool());
    connectAll(true);
}

DTimeLine::~DTimeLine()
{
    delete ui;
}

void DTimeLine::connectAll(bool on)
{
    if (!on) {
        for (const QMetaObject::Connection &connection : qAsConst(m_connections))
            disconnect(connection);
        m_connections.clear();
        return;
    }
    if (!m_connections.isEmpty())
        return;
    m_connections << connect(ui->layerSlider, &QSlider::valueChanged, this, &DTimeLine::setLayerIndex)
                  << connect(m_view->layers(), &MLayerStack::countChanged, this, &DTimeLine::setCount)
                  << connect(&m_timer, &QTimer::timeout, this, &DTimeLine::forward)
                  << connect(ui->frameRateSb, QOverload<int>::of(&QSpinBox::valueChanged), this,
                             &DTimeLine::setFrameRate)
                  << connect(ui->intervalDurationSb, QOverload<int>::of(&QSpinBox::valueChanged), this,
                             &DTimeLine::setIntervalDuration)
                  << connect(ui->showPreviousCb, &QCheckBox::clicked, this, &DTimeLine::setShowPreviousFrame)
                  << connect(ui->firstLayerAsBackgroundCb, &QCheckBox::clicked, this,
                             &DTimeLine::set_firstLayerAsBackground);
}

void DTimeLine::updateInterval()
{
    // A zero tick would make the timer spin the event loop.
    m_timer.setInterval(qMax(1, int(double(m_intervalDuration) / m_frameRate)));
}

int DTimeLine::layerCount() const
{
    return m_view->layers()->count();
}

int DTimeLine::lowestRow() const
{
    return m_firstLayerAsBackground ? 1 : 0;
}

void DTimeLine::showRow(int row)
{
    const bool wasConnected = !m_connections.isEmpty();
    connectAll(false);
    MLayerStack *layers = m_view->layers();
    if (layers->currentRow() != row)
        layers->setCurrentRow(row);
    m_view->update();
    connectAll(wasConnected);
}

void DTimeLine::set_firstLayerAsBackground(bool value)
{
    if (m_firstLayerAsBackground == value)
        return;
    m_firstLayerAsBackground = value;
    emit firstLayerAsBackgroundChanged(value);
    m_view->set_firstLayerAsBackground(value);
    setCount(layerCount());
    m_view->update();
}

void DTimeLine::setLayerIndex(int value)
{
    showRow(layerCount() - 1 - value);
}

void DTimeLine::setCount(int count)
{
    const int last = m_firstLayerAsBackground ? count - 2 : count - 1;
    ui->layerSlider->setEnabled(last > 0);
    if (last > 0) {
        const QSignalBlocker blocker(ui->layerSlider);
        ui->layerSlider->setRange(0, last);
        ui->layerSlider->setValue(0);
    }
}

void DTimeLine::setShowPreviousFrame(bool value)
{
    if (m_showPreviousFrame == value)
        return;
    m_showPreviousFrame = value;
    emit showPreviousFrameChanged(value);
    m_view->setShowPreviousFrame(value);
    m_view->update();
}

void DTimeLine::setFrameRate(int value)
{
    if (m_frameRate == value)
        return;
    m_frameRate = qMax(1, value);
    updateInterval();
    emit frameRateChanged(value);
}

void DTimeLine::setIntervalDuration(int value)
{
    if (m_intervalDuration == value)
        return;
    m_intervalDuration = value <= 10 ? 10 : value;
    updateInterval();
    emit intervalDurationChanged(m_intervalDuration);
}

void DTimeLine::forward()
{
    int row = m_view->layers()->currentRow() - 1;
    if (row < lowestRow())
        row = layerCount() - 1;
    showRow(row);
}

void DTimeLine::on_playForwardBtn_clicked()
{
    forward();
}

void DTimeLine::on_playBackwardBtn_clicked()
{
    int row = m_view->layers()->currentRow() + 1;
    if (row > layerCount() - 1)
        row = lowestRow();
    showRow(row);
}

void DTimeLine::on_skipBackwardBtn_clicked()
{
    showRow(layerCount() - 1);
}

void DTimeLine::on_skipForwardBtn_clicked()
{
    showRow(lowestRow());
}

void DTimeLine::on_stopBtn_clicked()
{
    ui->runBtn->setChecked(false);
    m_timer.stop();
    showRow(layerCount() - 1);
}

void DTimeLine::on_runBtn_toggled(bool checked)
{
    if (checked)
        m_timer.start();
    else
        m_timer.stop();
}

QString DTimeLine::exportFolder() const
{
    return QDir(ui->directoryEdit->text().trimmed()).absolutePath();
}

void DTimeLine::on_dirBtn_clicked()
{
    const QString start =
        ui->directoryEdit->text().trimmed().isEmpty() ? MFolders::userDocumentsPath() : exportFolder();
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Export directory"), start);
    if (!folder.isEmpty())
        ui->directoryEdit->setText(folder);
}

void DTimeLine::on_saveBtn_clicked()
{
    if (ui->directoryEdit->text().trimmed().isEmpty()) {
        MUtility::showMessage(QMessageBox::Critical, QString(), tr("Please enter a directory."));
        return;
    }
    const QString folder = exportFolder();
    if (!QDir(folder).exists()) {
        const int answer = MUtility::askChoice({tr("Create"), tr("Cancel")},
                                               tr("The directory %1 doesn't exist.").arg(folder),
                                               tr("Do you want to create the directory ?"));
        if (answer != 0)
            return;
        MFolders::ensureDirectory(folder);
    }
    MUtility::setBusyCursor();
    QString prefix = ui->prefixEdit->text().trimmed();
    if (ui->cbDateTime->isChecked())
        prefix += QDateTime::currentDateTime().toString(QStringLiteral("yyyy_MM_dd_hh_mm_ss")) + QLatin1Char('_');
    const MFileResult result = MDocumentRenderer(m_view->parts())
                                   .exportLayersAsPng(folder, prefix, ui->reverseOrderCb->isChecked(),
                                                      ui->firstLayerAsBackgroundCb->isChecked());
    MUtility::restoreCursor();
    if (result.isDone())
        MUtility::showMessage(QMessageBox::Information, QString(), tr("Export done."));
    else
        MUtility::showMessage(QMessageBox::Critical, QString(), tr("Unable to export the frames to %1.").arg(folder),
                              QMessageBox::Ok, QMessageBox::NoButton, result.reason);
}

void DTimeLine::closeEvent(QCloseEvent *event)
{
    QSettings settings;
    settings.setValue(QStringLiteral("timelineFrameRate"), m_frameRate);
    settings.setValue(QStringLiteral("timelineIntervalDuration"), m_intervalDuration);
    settings.setValue(QStringLiteral("timelineShowPreviousFrame"), ui->showPreviousCb->isChecked());
    settings.setValue(QStringLiteral("timeLineFirstLayerAsBackground"), ui->firstLayerAsBackgroundCb->isChecked());
    settings.setValue(QStringLiteral("timeLinePrefix"), ui->prefixEdit->text());
    settings.setValue(QStringLiteral("timeLineDirectory"), ui->directoryEdit->text());
    settings.setValue(QStringLiteral("timeLineAddDateTime"), ui->cbDateTime->isChecked());
    settings.setValue(QStringLiteral("timeLineReverseOrder"), ui->reverseOrderCb->isChecked());
    MSettingsFormat::sync(settings);
    ui->runBtn->setChecked(false);
    m_timer.stop();
    m_view->setTimeLineMode(false);
    event->accept();
}
