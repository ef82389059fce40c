#pragma once

#include <QDialog>
#include <QTimer>

class MWidget;

namespace Ui {
class DTimeLine;
}

// Plays the document's layers as the frames of an animation, the top row
// first, and exports them as numbered image files.
class DTimeLine : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(bool firstLayerAsBackground READ firstLayerAsBackground WRITE set_firstLayerAsBackground NOTIFY
                   firstLayerAsBackgroundChanged)
    Q_PROPERTY(bool showPreviousFrame READ showPreviousFrame WRITE setShowPreviousFrame NOTIFY showPreviousFrameChanged)
    Q_PROPERTY(int frameRate READ frameRate WRITE setFrameRate NOTIFY frameRateChanged)
    Q_PROPERTY(int intervalDuration READ intervalDuration WRITE setIntervalDuration NOTIFY intervalDurationChanged)
public:
    DTimeLine(MWidget *view, QWidget *parent = nullptr);
    ~DTimeLine() override;

    bool firstLayerAsBackground() const { return m_firstLayerAsBackground; }
    bool showPreviousFrame() const { return m_showPreviousFrame; }
    int frameRate() const { return m_frameRate; }
    int intervalDuration() const { return m_intervalDuration; }
    // The tick of the play timer, in milliseconds.
    int timerInterval() const { return m_timer.interval(); }

public slots:
    void set_firstLayerAsBackground(bool value);
    void setLayerIndex(int value);
    void setCount(int count);
    void setShowPreviousFrame(bool value);
    void setFrameRate(int value);
    void setIntervalDuration(int value);

signals:
    void firstLayerAsBackgroundChanged(bool value);
    void showPreviousFrameChanged(bool value);
    void frameRateChanged(int value);
    void intervalDurationChanged(int value);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_skipBackwardBtn_clicked();
    void on_skipForwardBtn_clicked();
    void on_playBackwardBtn_clicked();
    void on_playForwardBtn_clicked();
    void on_stopBtn_clicked();
    void on_runBtn_toggled(bool checked);
    void on_saveBtn_clicked();
    void on_dirBtn_clicked();
    void forward();

private:
    void connectAll(bool on);
    void updateInterval();
    int lowestRow() const;
    int layerCount() const;
    void showRow(int row);
    QString exportFolder() const;

    Ui::DTimeLine *ui;
    MWidget *m_view;
    QTimer m_timer;
    bool m_firstLayerAsBackground = false;
    bool m_showPreviousFrame = false;
    int m_frameRate = 15;
    int m_intervalDuration = 1000;
    QList<QMetaObject::Connection> m_connections;
};
