#include "mlogcategory.h"

Q_LOGGING_CATEGORY(lcLog, "kalmi.log", QtInfoMsg)
Q_LOGGING_CATEGORY(lcApp, "kalmi.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcCanvas, "kalmi.canvas", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUndo, "kalmi.undo", QtInfoMsg)
Q_LOGGING_CATEGORY(lcBrush, "kalmi.brush", QtInfoMsg)
