#include "mrunner.h"

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

void MRunner::run()
{
}
