#pragma once

#include "dname.h"

// Names an effect or a brush engine, offering the groups of the entries of
// the same type.
class DShaderName : public DName
{
    Q_OBJECT
public:
    DShaderName(int type, const QString &group, const QString &description, QWidget *parent = nullptr);

    int type() const { return m_type; }

private:
    int m_type;
};
