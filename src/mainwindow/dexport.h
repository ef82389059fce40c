#pragma once

#include <QDialog>
#include <QMetaObject>
#include <QRectF>
#include <QVector>

class MDocumentRenderer;
class MPaper;
class MSelection;

namespace Ui {
class DExport;
}

// Writes the document, or its selected part, as an image file of a chosen
// pixel size. The document renders; the dialog chooses what and where.
class DExport : public QDialog
{
    Q_OBJECT
public:
    DExport(MSelection *selection, MPaper *paper, MDocumentRenderer *renderer, QWidget *parent = nullptr);
    ~DExport() override;

    // Why an image of width x height cannot be exported, empty when it can:
    // beyond maxRenderSize in either direction, or needing more than the
    // available memory (bytes; unknown when negative).
    static QString sizeRefusal(int width, int height, int maxRenderSize, qint64 availableMemory);
    // Bytes taken at once while an image of that size is rendered and written.
    static qint64 memoryNeeded(int width, int height);

public slots:
    void on_okButton_clicked();
    void on_cancelButton_clicked();
    void widthChanged(int width);
    void heightChanged(int height);
    void limitToSelectionChanged(bool on);

private:
    void connectFields();
    void disconnectFields();
    void setSizeFrom(const QRectF &rect);
    bool exportTo(const QString &fileName);
    bool hasDocument() const { return m_selection && m_paper && m_renderer; }

    Ui::DExport *ui;
    MSelection *m_selection;
    MPaper *m_paper;
    MDocumentRenderer *m_renderer;
    double m_ratio = 1.0;
    QVector<QMetaObject::Connection> m_connections;
};
