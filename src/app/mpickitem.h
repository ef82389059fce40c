#pragma once

#include <QString>
#include <QVariant>

// One choice of a drop-down list: the text shown and the value stored.
class MPickItem
{
public:
    MPickItem() = default;
    MPickItem(const QString &text, const QVariant &value) : m_text(text), m_value(value) {}
    virtual ~MPickItem() = default;

    QString text() const { return m_text; }
    QVariant value() const { return m_value; }
    void setText(const QString &text) { m_text = text; }
    void setValue(const QVariant &value) { m_value = value; }

private:
    QString m_text;
    QVariant m_value;
};
