#pragma once

#include <QString>

class MTextureLayer;

// Where a removed layer waits for its undo: a single-layer file in the cache
// folder, named by an id of its own. Both calls need the document's context
// current.
class MLayerFile
{
public:
    // Writes the layer under a new id and returns it; empty when that failed,
    // and the layer is left as it was.
    static QString park(MTextureLayer *layer);
    // Reads the layer parked under id into layer; false when it could not.
    static bool unpark(const QString &id, MTextureLayer *layer);
};
