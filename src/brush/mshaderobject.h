#pragma once

#include "mvalues.h"

#include <QObject>
#include <QString>

class MShader;

// An object that can carry an effect: the id of an effect of the effect
// library and its parameter values. Base of layers and brushes.
class MShaderObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString shaderId READ shaderId WRITE set_shaderId NOTIFY shaderIdChanged)
    Q_PROPERTY(MValues *shaderValues READ shaderValues NOTIFY shaderValuesChanged)
    Q_PROPERTY(bool isShaderActive READ isShaderActive WRITE set_isShaderActive NOTIFY isShaderActiveChanged)
public:
    // The effect, its values and whether it is shown, as one value that an
    // edit can be undone to.
    struct ShaderState
    {
        QString id;
        QHash<QByteArray, QVariant> values;
        bool active = true;
        bool operator==(const ShaderState &other) const
        {
            return id == other.id && values == other.values && active == other.active;
        }
        bool operator!=(const ShaderState &other) const { return !(*this == other); }
    };

    explicit MShaderObject(QObject *parent = nullptr);
    ~MShaderObject() override;

    QString shaderId() const { return m_shaderId; }
    MValues *shaderValues() const { return m_shaderValues; }
    bool isShaderActive() const { return m_isShaderActive; }
    bool hasShader() const { return !m_shaderId.isEmpty(); }

    // Copies the effect id, its values and whether it is active, silently.
    void copyFrom(const MShaderObject *other);
    // The values become the defaults of the effect's parameters (none when
    // the library has no such effect or its parameters do not parse).
    void loadDefaultValues(const QString &id);

    ShaderState shaderState() const;
    // Takes the state as it stands, even for an effect the library no longer
    // has; announces what changed.
    void setShaderState(const ShaderState &state);

public slots:
    void set_shaderId(const QString &id);
    void set_isShaderActive(bool value);

signals:
    void shaderIdChanged(const QString &value);
    void shaderValuesChanged(MValues *value);
    void isShaderActiveChanged(bool value);

private:
    void refreshValues(MShader *shader);

    QString m_shaderId;
    MValues *m_shaderValues;
    bool m_isShaderActive = true;
};
