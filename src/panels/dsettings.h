#pragma once

#include <QDialog>
#include <QMap>
#include <QPair>
#include <QVariant>

class MActionList;
class MProxyModel;
class QTableView;
class QTreeWidgetItem;
namespace Ui {
class DSettings;
}

// The preferences: one page per setting category, generated from the
// settings table, and the shortcuts page. Ok writes what the painter
// changed and applies the shortcuts; Cancel leaves everything as it was.
class DSettings : public QDialog
{
    Q_OBJECT
public:
    explicit DSettings(QWidget *parent = nullptr);
    ~DSettings() override;

    bool needRestart() const { return m_needRestart; }
    MActionList *actionList() const { return m_actions; }
    QTableView *shortcutView() const { return m_shortcutView; }
    QWidget *editor(const QString &key) const { return m_editors.value(key); }

    // Language ids and names whose translation file is installed.
    static QList<QPair<QString, QString>> availableLanguages();
    // The row of the action list holding the sequence, or -1.
    int shortcutOwner(const QString &shortcut) const;

signals:
    void settingsChanged();

public slots:
    void on_btnOk_clicked();
    void on_BtnCancel_clicked();
    void openPage(QTreeWidgetItem *item);
    void setNeedRestart();
    void editShortcut();
    void resetShortcut();
    void resetAllShortcuts();
    void copyShortcuts();

private:
    void buildPage(int category, QWidget *page);
    void buildShortcutsPage(QWidget *page);
    void addSettingRow(const QString &key, class QFormLayout *layout);
    QVariant editorValue(const QString &key, bool *ok) const;
    void applyShortcuts();

    Ui::DSettings *ui;
    MActionList *m_actions;
    MProxyModel *m_proxy = nullptr;
    QTableView *m_shortcutView = nullptr;
    QMap<QString, QWidget *> m_editors;
    // What each editor showed when the dialog opened: only a value the
    // painter changed from it is written back.
    QMap<QString, QVariant> m_initialValues;
    bool m_needRestart = false;
};
