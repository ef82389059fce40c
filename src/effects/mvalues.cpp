#include "mvalues.h"


#include <QColor>
#include <QOpenGLShaderProgram>

MValues::MValues(QObject *parent)
    : QObject(parent)
{
}

void MValues::clear()
{
    m_values.clear();
}

void MValues::copyFrom(const MValues *other)
{
    if (other && other != this)
        m_values = other->m_values;
}

void MValues::setValue(const QByteArray &name, const QVariant &value)
{
    auto found = m_values.find(name);
    if (found == m_values.end()) {
        m_values.insert(name, value);
    } else {
        if (found.value() == value)
            return;
        found.value() = value;
    }
    emit valueChanged(name, value);
}

void MValues::setUniforms(QOpenGLShaderProgram *program) const
{
    if (!program)
        return;
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
        const char *name = it.key().constData();
        const QVariant &value = it.value();
        switch (value.userType()) {
        case QMetaType::Bool:
            program->setUniformValue(name, GLint(value.toBool() ? 1 : 0));
            break;
        case QMetaType::QColor:
            program->setUniformValue(name, value.value<QColor>());
            break;
        case QMetaType::Int:
            program->setUniformValue(name, GLint(value.toInt()));
            break;
        default:
            program->setUniformValue(name, GLfloat(value.toFloat()));
            break;
        }
    }
}
