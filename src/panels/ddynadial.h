#pragma once

#include <QDialog>
#include <QHash>
#include <QPair>
#include <QVariant>
#include <QVector>

class MField;

namespace Ui {
class DDynaDial;
}

// A small modal form built from value descriptors when it is first shown:
// a caption and a typed editor per field; Ok writes the editors back.
class DDynaDial : public QDialog
{
    Q_OBJECT
public:
    explicit DDynaDial(QWidget *parent = nullptr);
    ~DDynaDial() override;

    MField *addBoolField(const QByteArray &name, const QString &label, bool value);
    MField *addIntField(const QByteArray &name, const QString &label, int value, int minimum, int maximum, int step);
    // Invalid for an unknown name, and before the form was built.
    QVariant value(const QByteArray &name) const;
    // The editor of a field once the form is built, else null.
    QWidget *editor(const QByteArray &name) const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void on_okBtn_clicked();
    void on_cancelBtn_clicked();

private:
    bool buildFields();
    void valuesToWidgets();
    void widgetsToValues();

    Ui::DDynaDial *ui;
    QVector<MField *> m_fields;
    QHash<QByteArray, QPair<MField *, QWidget *>> m_editors;
    bool m_built = false;
};
