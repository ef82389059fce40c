#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QVariant>

class QOpenGLShaderProgram;

// Named values with a change signal: the settings of a brush, the parameters
// of an effect. They reach a shader program as uniforms of the same names.
class MValues : public QObject
{
    Q_OBJECT
public:
    explicit MValues(QObject *parent = nullptr);

    virtual void clear();
    void copyFrom(const MValues *other);
    bool contains(const QByteArray &name) const { return m_values.contains(name); }
    QVariant value(const QByteArray &name) const { return m_values.value(name); }
    void setValue(const QByteArray &name, const QVariant &value);
    QHash<QByteArray, QVariant> values() const { return m_values; }

    void setUniforms(QOpenGLShaderProgram *program) const;

signals:
    void valueChanged(const QByteArray &name, const QVariant &value);

private:
    QHash<QByteArray, QVariant> m_values;
};
