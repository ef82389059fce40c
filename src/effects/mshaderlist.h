#pragma once

#include "msingleton.h"

#include <QList>
#include <QObject>

class MShader;

// Library of effects and brush engines.
class MShaderList : public QObject, public MSingleton<MShaderList>
{
    Q_OBJECT
public:
    explicit MShaderList(QObject *parent = nullptr);
    ~MShaderList() override;

    int rowCount() const { return m_items.size(); }
    MShader *shaderAt(int row) const { return m_items.value(row); }

    // Takes ownership.
    void append(MShader *shader);
    // The effect whose id equals id, both trimmed and upper-cased; null when none.
    MShader *find(const QString &id) const;

private:
    QList<MShader *> m_items;
};
