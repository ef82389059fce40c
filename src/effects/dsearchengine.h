#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class DSearchEngine;
}
class MProxyModel;

// Looks a keyword of effect sources up by name or description.
class DSearchEngine : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(QString keyword READ keyword WRITE set_keyword NOTIFY keywordChanged)

public:
    explicit DSearchEngine(QWidget *parent = nullptr);
    ~DSearchEngine() override;

    QString keyword() const { return m_keyword; }
    void setSearchText(const QString &text);

public slots:
    void set_keyword(const QString &value);

signals:
    void keywordChanged(const QString &value);

private slots:
    void acceptKeyword();

private:
    QString m_keyword;
    Ui::DSearchEngine *ui;
    MProxyModel *m_proxy = nullptr;
};
