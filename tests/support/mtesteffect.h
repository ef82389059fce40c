#pragma once

#include "mshader.h"

#include <QList>
#include <QVariant>

// An effect standing in for those of the effect library: its parameters and
// the body of its main function are set by the test, and it is framed like
// a real effect (or brush engine, by its type).
class MTexture;

class MTestEffect : public MShader
{
public:
    explicit MTestEffect(const QString &id, const QString &body = QString());
    ~MTestEffect() override;

    void setBody(const QString &body) { m_body = body; }
    // Whether the parameter section "parses"; a source that does not parse builds no program.
    void setParses(bool parses) { m_parses = parses; }
    void addParam(const QByteArray &name, const QVariant &defaultValue);
    void clearParams();
    // A user texture sampled under name, read from file (owned by the effect).
    MTexture *addTexture(const QByteArray &name, const QString &file);

    bool parseParams() override { return m_parses; }
    int paramCount() const override;
    MField *paramAt(int index) const override;
    MField *param(const QByteArray &name) const override;
    QString buildFragmentSource(bool *ok) const override;
    int textureCount() const override { return m_textures.size(); }
    MTexture *texture(int index) const override { return m_textures.value(index); }

private:
    QString m_body;
    bool m_parses = true;
    QList<MField *> m_params;
    QList<MTexture *> m_textures;
};
