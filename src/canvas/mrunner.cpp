#include "mrunner.h"

#include "mcanvas.h"
#include "mlogger.h"
#include "mshareddata.h"

MRunner::MRunner(MSharedData *sharedData)
    : QObject(nullptr)
    , m_sharedData(sharedData)
{
}

bool MRunner::prepare()
{
    if (!m_sharedData)
        return false;
    m_sharedData->initializeGL();
    return m_sharedData->isValid();
}

bool MRunner::prepareContext()
{
    if (!prepare())
        return false;
    if (m_sharedData->canvas() && m_sharedData->canvas()->makeCurrent())
        return true;
    MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
    return false;
}

void MRunner::run()
{
}
