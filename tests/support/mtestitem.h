#pragma once

#include <QColor>
#include <QObject>
#include <QVector3D>

// A small item class for the model tests: one property of each kind the
// models treat apart, all with change signals but "note".
class MTestItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString id READ id WRITE setId NOTIFY idChanged)
    Q_PROPERTY(QString description READ description WRITE setDescription NOTIFY descriptionChanged)
    Q_PROPERTY(double size READ size WRITE setSize NOTIFY sizeChanged)
    Q_PROPERTY(int level READ level WRITE setLevel NOTIFY levelChanged)
    Q_PROPERTY(QVector3D position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QString note READ note WRITE setNote)
public:
    explicit MTestItem(QObject *parent = nullptr) : QObject(parent) {}
    MTestItem(const QString &id, const QString &description, QObject *parent = nullptr)
        : QObject(parent), m_id(id), m_description(description)
    {
    }

    QString id() const { return m_id; }
    QString description() const { return m_description; }
    double size() const { return m_size; }
    int level() const { return m_level; }
    QVector3D position() const { return m_position; }
    QColor color() const { return m_color; }
    QString note() const { return m_note; }

    void setId(const QString &v) { if (v != m_id) { m_id = v; emit idChanged(v); } }
    void setDescription(const QString &v) { if (v != m_description) { m_description = v; emit descriptionChanged(v); } }
    void setSize(double v) { if (v != m_size) { m_size = v; emit sizeChanged(v); } }
    void setLevel(int v) { if (v != m_level) { m_level = v; emit levelChanged(v); } }
    void setPosition(const QVector3D &v) { if (v != m_position) { m_position = v; emit positionChanged(v); } }
    void setColor(const QColor &v) { if (v != m_color) { m_color = v; emit colorChanged(v); } }
    void setNote(const QString &v) { m_note = v; }

signals:
    void idChanged(const QString &);
    void descriptionChanged(const QString &);
    void sizeChanged(double);
    void levelChanged(int);
    void positionChanged(const QVector3D &);
    void colorChanged(const QColor &);

private:
    QString m_id;
    QString m_description;
    double m_size = 1.0;
    int m_level = 0;
    QVector3D m_position;
    QColor m_color = Qt::black;
    QString m_note;
};

// Records the names of the signals of a model in the order they come, with
// their first argument: "rowsInserted 2", "currentRowChanged 2"...
class MTestSignalLog : public QObject
{
    Q_OBJECT
public:
    explicit MTestSignalLog(QObject *model);

    QStringList entries;
    QStringList take()
    {
        const QStringList result = entries;
        entries.clear();
        return result;
    }

private slots:
    void onCurrentRowChanged(int row);
    void onCountChanged(int count);
};
