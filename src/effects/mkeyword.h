#pragma once

#include <QObject>
#include <QString>

// One word of the effect-source vocabulary, with its class and explanation.
class MKeyword : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString keyword READ keyword WRITE set_keyword NOTIFY keywordChanged)
    Q_PROPERTY(QString description READ description WRITE set_description NOTIFY descriptionChanged)
    Q_PROPERTY(int keywordClass READ keywordClass WRITE set_keywordClass NOTIFY keywordClassChanged)

public:
    // 0 functions and other words, 1 inputs of effect programs, 2 section
    // names, 3 values and filter/wrap names, 4 types and keywords.
    enum Class { FunctionClass = 0, InputClass, SectionClass, ValueClass, TypeClass };

    explicit MKeyword(QObject *parent = nullptr);

    QString keyword() const { return m_keyword; }
    QString description() const { return m_description; }
    int keywordClass() const { return m_keywordClass; }

public slots:
    void set_keyword(const QString &value);
    void set_description(const QString &value);
    void set_keywordClass(int value);

signals:
    void keywordChanged(const QString &value);
    void descriptionChanged(const QString &value);
    void keywordClassChanged(int value);

private:
    QString m_keyword;
    QString m_description;
    int m_keywordClass = 0;
};
