#include "mlayerfile.h"

#include "mdocumentfile.h"
#include "mlayer.h"
#include "mutility.h"

QString MLayerFile::park(MTextureLayer *layer)
{
    const QString id = MLayer::newGuid();
    if (writeLayerFile(MUtility::cacheFileName(id), layer) != WriteDone)
        return QString();
    return id;
}

bool MLayerFile::unpark(const QString &id, MTextureLayer *layer)
{
    return readLayerFile(MUtility::cacheFileName(id), layer) == ReadDone;
}
