#pragma once

#include <QImage>
#include <QObject>
#include <QString>

// One fill pattern: a small tileable image from the resources.
class MPatternItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QImage image READ image WRITE set_image NOTIFY imageChanged)
    Q_PROPERTY(QString fileName READ fileName WRITE set_fileName NOTIFY fileNameChanged)
    Q_PROPERTY(QString name READ name WRITE set_name NOTIFY nameChanged)
    Q_PROPERTY(bool usePatternColor READ usePatternColor WRITE set_usePatternColor NOTIFY usePatternColorChanged)
public:
    explicit MPatternItem(QObject *parent = nullptr);

    QImage image() const { return m_image; }
    QString fileName() const { return m_fileName; }
    QString name() const { return m_name; }
    bool usePatternColor() const { return m_usePatternColor; }

public slots:
    // Stores the image premultiplied and always announces it (images are not compared).
    void set_image(const QImage &image);
    void set_fileName(const QString &fileName);
    void set_name(const QString &name);
    void set_usePatternColor(bool value);

signals:
    void imageChanged(const QImage &image);
    void fileNameChanged(const QString &fileName);
    void nameChanged(const QString &name);
    void usePatternColorChanged(bool value);

private:
    QImage m_image;
    QString m_fileName;
    QString m_name;
    bool m_usePatternColor = false;
};
