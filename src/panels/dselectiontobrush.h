#pragma once

#include <QDialog>
#include <QRectF>

class MConnector;
class MDocumentRenderer;
class MPaper;
class MSelection;
class MSettingStream;
class Ui_DSelectionToBrush;

// Renders the selected part of the document (or its painted rectangle) into
// an image and makes it the texture of the current brush or of a new brush.
class DSelectionToBrush : public QDialog
{
    Q_OBJECT
public:
    DSelectionToBrush(MSelection *selection, MPaper *paper, MDocumentRenderer *renderer, QWidget *parent = nullptr);
    ~DSelectionToBrush() override;

    void saveSettings();

    // The largest texture side: what the driver can render and a brush file
    // can hold; 0 when the document cannot render at all.
    int maximumTextureSize() const;

public slots:
    void on_okButton_clicked();
    void on_cancelButton_clicked();
    void widthChanged(int width);
    void heightChanged(int height);
    void on_resetSizeBtn_clicked();
    void enableGroupAndName();
    void setGroupAndName();

private:
    enum SettingId { ExportPaper, AllLayers, ApplyToCurrentBrush, PreserveTextureColor };

    QRectF sourceRect() const;
    void resetSize();
    void updateRatioLabel();
    void fillGroups();
    void connectSignals();
    // False (with the reason shown) when the size cannot be rendered.
    bool checkSize(int width, int height) const;

    Ui_DSelectionToBrush *ui;
    bool hasDocument() const { return m_selection && m_paper && m_renderer; }

    MSelection *m_selection;
    MPaper *m_paper;
    MDocumentRenderer *m_renderer;
    double m_ratio = 1.0;
    MConnector *m_connector;
    MSettingStream *m_settings;
};
