#include "mfield.h"

#include "mpicklist.h"
#include "mutility.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QVector2D>
#include <QVector3D>

namespace {
QString number(double value)
{
    return QString::number(value, 'g', 6);
}
} // namespace

MField::MField()
    : m_pickList(new MPickList)
{
    clear();
}

MField::MField(const MField &other)
    : m_pickList(new MPickList)
{
    assign(other);
}

MField &MField::operator=(const MField &other)
{
    assign(other);
    return *this;
}

MField::~MField()
{
    delete m_pickList;
}

void MField::clear()
{
    m_name.clear();
    m_index = -1;
    m_label.clear();
    m_description.clear();
    m_type = QMetaType::Double;
    m_enumName.clear();
    m_pickList->clear();
    m_isLogarithmic = false;
    m_isPercentage = false;
    m_maximum = 1.0;
    m_minimum = 0.0;
    m_singleStep = 0.1;
    m_suffix.clear();
    m_value = QVariant(0.0);
    m_isDynamic = true;
    m_isVisible = true;
}

void MField::assign(const MField &other)
{
    if (&other == this)
        return;
    m_name = other.m_name;
    m_index = other.m_index;
    m_label = other.m_label;
    m_description = other.m_description;
    m_type = other.m_type;
    m_enumName = other.m_enumName;
    *m_pickList = *other.m_pickList;
    m_isLogarithmic = other.m_isLogarithmic;
    m_isPercentage = other.m_isPercentage;
    m_maximum = other.m_maximum;
    m_minimum = other.m_minimum;
    m_singleStep = other.m_singleStep;
    m_suffix = other.m_suffix;
    m_value = other.m_value;
    m_isDynamic = other.m_isDynamic;
    m_isVisible = other.m_isVisible;
}

void MField::addPickItem(const QString &text, const QVariant &value)
{
    m_pickList->append(MPickItem(text, value));
}

void MField::setMinimum(double minimum)
{
    m_minimum = minimum;
    if (m_minimum > m_maximum)
        std::swap(m_minimum, m_maximum);
}

void MField::setMaximum(double maximum)
{
    m_maximum = maximum;
    if (m_minimum > m_maximum)
        std::swap(m_minimum, m_maximum);
}

// Both bounds are stored at once: going through setMinimum first would swap
// the new minimum with a lower old maximum and lose it.
void MField::setRange(double a, double b)
{
    m_minimum = a < b ? a : b;
    m_maximum = a < b ? b : a;
}

QString MField::suffixText() const
{
    return QStringLiteral(" %1").arg(m_suffix);
}

QIcon MField::colorIcon(const QColor &color)
{
    return MUtility::colorIcon(color, 16, 16);
}

QVariant MField::valueText(const QVariant &value, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        switch (m_type) {
        case QMetaType::QPointF: {
            const QPointF p = value.value<QPointF>();
            return QStringLiteral("[%1, %2]").arg(number(p.x()), number(p.y()));
        }
        case QMetaType::QVector2D: {
            const QVector2D v = value.value<QVector2D>();
            return QStringLiteral("[%1, %2]").arg(number(v.x()), number(v.y()));
        }
        case QMetaType::QVector3D: {
            const QVector3D v = value.value<QVector3D>();
            return QStringLiteral("[%1, %2, %3]").arg(number(v.x()), number(v.y()), number(v.z()));
        }
        case QMetaType::QColor:
            return value.value<QColor>().name().toUpper();
        case QMetaType::QImage:
            return QVariant();
        default:
            return value;
        }
    case Qt::DecorationRole:
        if (m_type == QMetaType::QColor)
            return colorIcon(value.value<QColor>());
        if (m_type == QMetaType::QImage)
            return value;
        return QVariant();
    case Qt::EditRole:
        return value;
    case Qt::SizeHintRole:
        if (m_type == QMetaType::QImage)
            return value.value<QImage>().size();
        return QVariant();
    default:
        return QVariant();
    }
}
