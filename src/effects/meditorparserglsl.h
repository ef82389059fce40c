#pragma once

#include "meditorparser.h"

#include <QColor>

// Colours effect sources: keywords by class, strings, numbers and comments.
class MEditorParserGLSL : public MEditorParser
{
    Q_OBJECT
public:
    explicit MEditorParserGLSL(QObject *parent = nullptr);

    void addFormat(const QColor &color, bool bold, bool italic, const QColor &background);

protected:
    void setupRules() override;
};
