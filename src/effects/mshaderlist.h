#pragma once

#include "msingleton.h"

#include <QObject>

class MShader;

// Library of effects and brush engines.
class MShaderList : public QObject, public MSingleton<MShaderList>
{
    Q_OBJECT
public:
    explicit MShaderList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
    MShader *shaderAt(int row) const { return nullptr; }
};
