#pragma once

#include <QColor>
#include <QObject>
#include <QString>

// A named set of new-document values: size, extent margin, auto extension and
// paper, kept in a ".kxt" JSON file.
class MDocumentTemplate : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString id READ id WRITE set_id NOTIFY idChanged)
    Q_PROPERTY(QString description READ description WRITE set_description NOTIFY descriptionChanged)
    Q_PROPERTY(int width READ width WRITE set_width NOTIFY widthChanged)
    Q_PROPERTY(int height READ height WRITE set_height NOTIFY heightChanged)
    Q_PROPERTY(int margin READ margin WRITE set_margin NOTIFY marginChanged)
    Q_PROPERTY(bool autoExtent READ autoExtent WRITE set_autoExtent NOTIFY autoExtentChanged)
    Q_PROPERTY(int paperType READ paperType WRITE set_paperType NOTIFY paperTypeChanged)
    Q_PROPERTY(QString paperName READ paperName WRITE set_paperName NOTIFY paperNameChanged)
    Q_PROPERTY(QColor paperColor READ paperColor WRITE set_paperColor NOTIFY paperColorChanged)
    Q_PROPERTY(QString fileName READ fileName WRITE set_fileName NOTIFY fileNameChanged)
public:
    // The largest side the new-document dialog offers.
    static constexpr int MaximumSide = 1000000;

    explicit MDocumentTemplate(QObject *parent = nullptr);

    QString id() const { return m_id; }
    QString description() const { return m_description; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int margin() const { return m_margin; }
    bool autoExtent() const { return m_autoExtent; }
    int paperType() const { return m_paperType; }
    QString paperName() const { return m_paperName; }
    QColor paperColor() const { return m_paperColor; }
    QString fileName() const { return m_fileName; }

    // False when the file cannot be opened; missing or malformed keys take
    // their defaults, as do sides out of range (logged).
    bool load(const QString &path);
    // Takes the values of a template file's bytes (the file name, if any,
    // names them in the log); false when a side out of range gave way to
    // its default.
    bool loadData(const QByteArray &bytes);
    // A template without a file goes to the user templates folder under its id.
    bool save();

public slots:
    void set_id(const QString &value);
    void set_description(const QString &value);
    void set_width(int value);
    void set_height(int value);
    void set_margin(int value);
    void set_autoExtent(bool value);
    void set_paperType(int value);
    void set_paperName(const QString &value);
    void set_paperColor(const QColor &value);
    void set_fileName(const QString &value);

signals:
    void idChanged(const QString &value);
    void descriptionChanged(const QString &value);
    void widthChanged(int value);
    void heightChanged(int value);
    void marginChanged(int value);
    void autoExtentChanged(bool value);
    void paperTypeChanged(int value);
    void paperNameChanged(const QString &value);
    void paperColorChanged(const QColor &value);
    void fileNameChanged(const QString &value);

private:
    QString m_id;
    QString m_description;
    int m_width = 1000;
    int m_height = 1000;
    int m_margin = 20;
    bool m_autoExtent = false;
    int m_paperType = 1;
    QString m_paperName;
    QColor m_paperColor = Qt::white;
    QString m_fileName;
};
