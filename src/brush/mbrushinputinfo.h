#pragma once

#include <QString>

// The description of one stroke input and its usual range.
class MBrushInputInfo
{
public:
    MBrushInputInfo() = default;
    MBrushInputInfo(int id, const QString &label, const QString &description, double minimum, double defaultValue,
                    double maximum)
        : m_id(id), m_label(label), m_description(description), m_minimum(minimum), m_defaultValue(defaultValue),
          m_maximum(maximum)
    {
    }
    virtual ~MBrushInputInfo() = default;

    int id() const { return m_id; }
    QString name() const { return m_name; }
    QString label() const { return m_label; }
    QString description() const { return m_description; }
    double minimum() const { return m_minimum; }
    double defaultValue() const { return m_defaultValue; }
    double maximum() const { return m_maximum; }

private:
    int m_id = -1;
    QString m_name;
    QString m_label;
    QString m_description;
    double m_minimum = 0.0;
    double m_defaultValue = 0.5;
    double m_maximum = 1.0;
};
