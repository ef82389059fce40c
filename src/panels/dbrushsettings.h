#pragma once

#include <QDialog>
#include <QVector>

#include <memory>

class MBrush;
class MConnector;
class MField;
class MShader;
class QAction;
class QToolButton;
class Ui_DBrushSettings;

// Edits a private copy of one library brush: every setting by category, the
// preferred settings, the brush engine's parameters, the input curves and
// the texture. The copy goes back into the library brush on save, or when
// the painter agrees at closing.
class DBrushSettings : public QDialog
{
    Q_OBJECT
public:
    enum { preferedPageId = 9998, enginePageId = 9999 };

    explicit DBrushSettings(QWidget *parent = nullptr);
    ~DBrushSettings() override;

    void setBrush(MBrush *brush);
    MBrush *workingBrush() const { return m_brush.get(); }
    MBrush *libraryBrush() const { return m_libraryBrush; }
    bool isModified() const { return m_modified; }
    QAction *loadTextureAction() const { return m_loadTextureAction; }
    QAction *resetTextureAction() const { return m_resetTextureAction; }
    QAction *exportTextureAction() const { return m_exportTextureAction; }

    // The descriptors of a page: the brush's preferred settings in its order,
    // or the parameters of an engine whose parameter section reads.
    static QVector<MField *> quickSettingFields(const MBrush *brush);
    static QVector<MField *> engineFields(MShader *engine);

    // Asks for an image and makes it the brush's texture; false when none was
    // loaded (cancelled, unreadable, or no brush).
    static bool loadBrushTextureFile(MBrush *target);
    // Writes the brush's file and tells the painter when that failed (and,
    // with tellSuccess, when it worked); false when it was not written.
    static bool saveBrush(MBrush *brush, bool tellSuccess);

public slots:
    void onEditCurve(QToolButton *button, int setting);
    void refreshPreview();
    void setCurrentCategory(int index);
    void loadBrushTexture();
    void resetBrushTexture();
    void exportBrushTexture();
    void onBrushValueChanged(const QByteArray &name, const QVariant &value);
    void on_saveButton_clicked();
    // Every way of closing comes here: with changes the painter is asked.
    void reject() override;

private:
    void connectSignals();
    void updatePanel();
    void updateInfo();
    bool confirmClose();
    // Copies the work into the library brush and gives it a new preview.
    void copyBack();

    std::unique_ptr<Ui_DBrushSettings> ui;
    std::unique_ptr<MBrush> m_brush;
    MBrush *m_libraryBrush = nullptr;
    bool m_modified = false;
    QAction *m_loadTextureAction;
    QAction *m_resetTextureAction;
    QAction *m_exportTextureAction;
    MConnector *m_connector;
};
