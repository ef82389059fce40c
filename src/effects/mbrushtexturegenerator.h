#pragma once

#include "mtexturegenerator.h"

// A brush-tip blob around the centre, filled with noise on white.
class MBrushTextureGenerator : public MTextureGenerator
{
    Q_OBJECT
public:
    explicit MBrushTextureGenerator(QObject *parent = nullptr);
    QImage generateTexture() override;
};
