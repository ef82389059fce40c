#pragma once

#include <QDialog>

class MPaperFields;

namespace Ui {
class DNewDocument;
}

// Collects the size, margins and paper of a new document, optionally from a
// template, and stores them in the settings on Create; the templates
// themselves are saved, added and deleted from here at once.
class DNewDocument : public QDialog
{
    Q_OBJECT
public:
    explicit DNewDocument(QWidget *parent = nullptr);
    ~DNewDocument() override;

private slots:
    void autoExtentChanged(bool checked);
    void loadTemplate(int index);
    void on_btnCancel_clicked();
    void on_btnCreate_clicked();
    void on_btnSave_clicked();
    void on_btnSaveAs_clicked();
    void on_btnDelete_clicked();
    void on_btnClearColor_clicked();
    void on_btnEditColor_clicked();
    void on_btnEditPaper_clicked();
    void standardSizes();
    void on_btnScreenSize_clicked();

private:
    void fillTemplates();
    void connectTemplates(bool on);
    // The trimmed name the painter gave, empty when cancelled.
    QString askTemplateName(const QString &proposal);

    Ui::DNewDocument *ui;
    MPaperFields *m_paper;
    const QString m_lastTemplateKey;
    bool m_templatesConnected = false;
};
