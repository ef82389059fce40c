#pragma once

#include "mtexturegenerator.h"

// Turbulence tinted with one hue around a base lightness.
class MCloudTextureGenerator : public MTextureGenerator
{
    Q_OBJECT
public:
    explicit MCloudTextureGenerator(QObject *parent = nullptr);
    QImage generateTexture() override;
};
