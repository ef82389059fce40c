#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui {
class DName;
}

// Asks for the group and the description of a library entry. Both come back
// trimmed and in lower case, as library names are stored.
class DName : public QDialog
{
    Q_OBJECT
public:
    DName(const QString &group, const QString &description, QWidget *parent = nullptr);
    ~DName() override;

    QString group() const { return m_group; }
    QString description() const { return m_description; }

protected:
    // Offers the groups in the list; the proposed group stays the current text.
    void setGroups(const QStringList &groups);

protected slots:
    void on_btnOk_clicked();
    void on_btnCancel_clicked();

private:
    Ui::DName *ui;
    QString m_group;
    QString m_description;
};
