#pragma once

#include <QObject>
#include <QString>
#include <QVector>

// One help topic: its title, its id (from which its page's file name is
// made) and its child topics, which it owns.
class MHelpItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(MHelpItem *parentItem READ parentItem WRITE set_parentItem NOTIFY parentItemChanged)
    Q_PROPERTY(QString title READ title WRITE set_title NOTIFY titleChanged)
    Q_PROPERTY(QString id READ id WRITE set_id NOTIFY idChanged)
public:
    explicit MHelpItem(QObject *parent = nullptr);
    ~MHelpItem() override;

    MHelpItem *parentItem() const { return m_parentItem; }
    QString title() const { return m_title; }
    QString id() const { return m_id; }

    bool addChild(MHelpItem *item);
    MHelpItem *child(int index) const;
    int childCount() const { return m_children.size(); }
    int indexOf(const MHelpItem *item) const;
    // Steps from the root to this topic, the root counting as 0.
    int depth() const;

public slots:
    void set_parentItem(MHelpItem *value);
    void set_title(const QString &value);
    void set_id(const QString &value);

signals:
    void parentItemChanged(MHelpItem *value);
    void titleChanged(const QString &value);
    void idChanged(const QString &value);

private:
    MHelpItem *m_parentItem = nullptr;
    QString m_title;
    QString m_id;
    QVector<MHelpItem *> m_children;
};
