#pragma once

#include <QDialog>
#include <QImage>
#include <QVector>

namespace Ui {
class DTextureGenerator;
}
class MConnector;
class MTextureGenerator;

// Picks a texture generator, edits its parameters and shows the image it
// makes at once; Save writes that image to a file the painter chooses.
class DTextureGenerator : public QDialog
{
    Q_OBJECT
public:
    explicit DTextureGenerator(QWidget *parent = nullptr);
    ~DTextureGenerator() override;

    const QVector<MTextureGenerator *> &generators() const { return m_generators; }
    QImage texture() const { return m_texture; }
    // Writes the shown image; false (and a message) when it cannot.
    bool saveTo(const QString &fileName);

private slots:
    void setPanel(int index);
    void generate();
    void on_saveButton_clicked();

private:
    void addGenerator(MTextureGenerator *generator, const QString &name);

    Ui::DTextureGenerator *ui;
    MConnector *m_connector;
    QVector<MTextureGenerator *> m_generators;
    QImage m_texture;
};
