#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Takes the place of the web browser and the file handler while it lives:
// every address the system asks the desktop to open is recorded instead.
class MTestUrlCatcher : public QObject
{
    Q_OBJECT
public:
    explicit MTestUrlCatcher(const QStringList &schemes = {"http", "https", "file"});
    ~MTestUrlCatcher() override;

    QList<QUrl> urls;

public slots:
    void open(const QUrl &url);

private:
    QStringList m_schemes;
};
