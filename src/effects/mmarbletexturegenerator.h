#pragma once

#include "mtexturegenerator.h"

// Sine bands along a diagonal, bent by turbulence.
class MMarbleTextureGenerator : public MTextureGenerator
{
    Q_OBJECT
public:
    explicit MMarbleTextureGenerator(QObject *parent = nullptr);
    QImage generateTexture() override;
};
