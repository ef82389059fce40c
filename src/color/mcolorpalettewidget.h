#pragma once

#include <QMetaObject>
#include <QWidget>

namespace Ui {
class MColorPaletteWidget;
}
class MPalette;
class MSwatchListWidget;

// The palette panel: chooses the library's current palette, shows it as a
// swatch strip, and creates, duplicates, renames and deletes user palettes,
// each change saved to that palette's own file at once.
class MColorPaletteWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MColorPaletteWidget(QWidget *parent = nullptr);
    ~MColorPaletteWidget() override;

    QSize sizeHint() const override { return QSize(150, 300); }
    MSwatchListWidget *swatches() const;

public slots:
    void setColor(const QColor &color);
    void newPalette();
    void savePalette();
    void duplicatePalette();
    void renamePalette();
    void deletePalette();
    void prependColor(const QColor &color);
    void appendColor(const QColor &color);
    void deleteColor();

signals:
    void colorChanged(const QColor &color, Qt::KeyboardModifiers modifiers);
    void selectPalette(bool isSystem);

private slots:
    void on_actionNew_triggered();
    void on_actionSave_triggered();
    void on_actionDuplicate_triggered();
    void on_actionRename_triggered();
    void on_actionDelete_triggered();
    void on_actionAdd_color_triggered();
    void on_actionRemove_color_triggered();
    void setCurrentPalette(int index);
    void onOverColorIndexChanged(int index);

private:
    MPalette *current() const;
    void makeConnections();
    void dropConnections();
    // Asks until the name is usable or the painter cancels (empty text).
    QString askName(const QString &defaultName, const MPalette *renamed = nullptr);
    MPalette *createPalette(const QString &defaultName);
    void saveChanged(MPalette *palette);

    Ui::MColorPaletteWidget *ui;
    QList<QMetaObject::Connection> m_connections;
};
