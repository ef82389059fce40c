#pragma once

#include <QColor>
#include <QDialog>

class MConnector;
namespace Ui {
class DScreenshot;
}

// Size, background and file of a picture of the main window; the choices
// are remembered in the group "Screenshot".
class DScreenshot : public QDialog
{
    Q_OBJECT
public:
    explicit DScreenshot(QWidget *parent = nullptr);
    ~DScreenshot() override;

    int pictureWidth() const;
    int pictureHeight() const;
    bool isTransparent() const;
    QColor backgroundColor() const;
    QString fileName() const;
    bool copyToClipboard() const;

    static QString defaultFileName(int n);
    static QString uniqueFileName(const QString &folder);
    void connectEditors();

private slots:
    void on_fileButton_clicked();
    void on_buttonBox_accepted();
    void on_buttonBox_rejected();
    void onWidthChanged(int width);
    void onHeightChanged(int height);
    void on_resetWidthButton_clicked();
    void on_resetHeightButton_clicked();

private:
    Ui::DScreenshot *ui;
    MConnector *m_connector;
    double m_ratio = 1.0;
};
