#include "mtestspy.h"

QVariantList spyValues(const QSignalSpy &spy)
{
    QVariantList values;
    for (const QList<QVariant> &arguments : spy)
        values.append(arguments.value(0));
    return values;
}
