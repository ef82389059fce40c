#pragma once

#include "mtexturegenerator.h"

// Grey turbulence of the noise table.
class MNoiseTextureGenerator : public MTextureGenerator
{
    Q_OBJECT
public:
    explicit MNoiseTextureGenerator(QObject *parent = nullptr);
    QImage generateTexture() override;
};
