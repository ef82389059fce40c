#pragma once

#include <QLoggingCategory>

// Developer traces, off by default: a painter's terminal stays quiet.
// Turn them on with, for example, QT_LOGGING_RULES="kalmi.*.debug=true"
// (or "kalmi.undo.debug=true" for the undo memory traces alone).
Q_DECLARE_LOGGING_CATEGORY(lcLog)    // "kalmi.log": every line of the log file, echoed
Q_DECLARE_LOGGING_CATEGORY(lcApp)    // "kalmi.app": settings, start-up, mouse bindings
Q_DECLARE_LOGGING_CATEGORY(lcCanvas) // "kalmi.canvas": documents, tiles, frame buffers, programs
Q_DECLARE_LOGGING_CATEGORY(lcUndo)   // "kalmi.undo": undo memory and spill files
Q_DECLARE_LOGGING_CATEGORY(lcBrush)  // "kalmi.brush": brush files
