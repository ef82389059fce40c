#pragma once

#include <QColor>
#include <QObject>

class QAbstractButton;
class QComboBox;
class QLineEdit;

// The paper fields that the new-document and paper dialogs share: the paper
// type list, the paper image name and the paper colour button.
class MPaperFields : public QObject
{
    Q_OBJECT
public:
    MPaperFields(QComboBox *type, QLineEdit *name, QAbstractButton *colorButton, QObject *parent);

    // Fills the type list with the paper types, the given one selected.
    void fill(int type, const QString &name, const QColor &color);
    int type() const;
    void selectType(int type);
    QString name() const;
    QColor color() const { return m_color; }
    void setColor(const QColor &color);

    // A picked colour switches the paper to Colored, a chosen image to Paper.
    void editColor();
    void editPaper();
    // Refuses, with a message titled so, a missing type or a paper image
    // that is not in the user papers folder.
    bool check(const QString &title) const;

private:
    QComboBox *m_type;
    QLineEdit *m_name;
    QAbstractButton *m_colorButton;
    QColor m_color;
};
