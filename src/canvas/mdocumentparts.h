#pragma once

#include <functional>

class MDocumentEvents;
class MGpuDevice;
class MLayerStack;
class MPaintEngine;
class MPaper;
class MSelection;
class MTextureLayer;
class MUndoHistory;

// The parts a document is made of, for whatever draws or reads it without
// holding the document itself. The document fills it once; the pointers
// are not owned and live as long as the document.
struct MDocumentParts
{
    MLayerStack *layers = nullptr;
    MPaper *paper = nullptr;
    MSelection *selection = nullptr;
    MPaintEngine *paintEngine = nullptr;
    // The context and tile passes, and the undo history commands go on.
    MGpuDevice *device = nullptr;
    MUndoHistory *history = nullptr;
    // Where the parts announce what changed for the document as a whole.
    MDocumentEvents *events = nullptr;
    // The scratch layer a stroke paints into before it is merged, and
    // drawing the stamps queued for it: whatever reads or merges the stroke
    // layer, or changes what stamps read, flushes first.
    MTextureLayer *strokeLayer = nullptr;
    std::function<void()> flushStrokes;
    // Whether a stroke is being painted: the current layer shows through
    // the stroke program meanwhile.
    std::function<bool()> strokeInProgress;
    // Waits for the tiles of a load still coming (the storage's wait): false
    // when the load failed or was given up, and nothing may be read then.
    std::function<bool()> finishLoading;

    bool isValid() const { return layers && paper && selection && paintEngine; }
};
