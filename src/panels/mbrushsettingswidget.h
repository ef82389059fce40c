#pragma once

#include <QWidget>

#include <memory>

class MBrush;
class MConnector;
class MFieldPanel;
class QAction;
class Ui_MBrushSettingsWidget;

// The "Brush settings" dock panel: a page chooser and a field panel that
// edit the library's current brush in place, with a menu to reload its last
// saved settings, save them, or open the full settings dialog.
class MBrushSettingsWidget : public QWidget
{
    Q_OBJECT
public:
    enum { preferedPageId = -1, enginePageId = 9999 };

    explicit MBrushSettingsWidget(QWidget *parent = nullptr);
    ~MBrushSettingsWidget() override;

    MFieldPanel *fieldPanel() const { return m_fieldPanel; }
    QAction *resetAction() const { return m_resetAction; }
    QAction *saveAction() const { return m_saveAction; }
    QAction *moreSettingsAction() const { return m_moreSettingsAction; }

public slots:
    void setBrush(MBrush *brush);
    void createPanel();
    void resetBrushSettings();
    void onReset();
    void onSave();
    void onMoreSettings();

private:
    void fillPages(MBrush *brush);
    void connectSignals();
    static MBrush *currentBrush();

    std::unique_ptr<Ui_MBrushSettingsWidget> ui;
    MFieldPanel *m_fieldPanel;
    QAction *m_resetAction;
    QAction *m_saveAction;
    QAction *m_moreSettingsAction;
    MConnector *m_connector;
};
