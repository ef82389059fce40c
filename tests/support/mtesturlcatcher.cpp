#include "mtesturlcatcher.h"

#include <QDesktopServices>

MTestUrlCatcher::MTestUrlCatcher(const QStringList &schemes)
    : m_schemes(schemes)
{
    for (const QString &scheme : m_schemes)
        QDesktopServices::setUrlHandler(scheme, this, "open");
}

MTestUrlCatcher::~MTestUrlCatcher()
{
    for (const QString &scheme : m_schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

void MTestUrlCatcher::open(const QUrl &url)
{
    urls.append(url);
}
