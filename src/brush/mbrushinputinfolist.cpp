#include "mbrushinputinfolist.h"

#include "menum.h"

MBrushInputInfoList::MBrushInputInfoList(QObject *parent)
    : QObject(parent)
{
    add(MEnum::biPressure, tr("Pressure"), tr("Stylus pressure"), 0, 1, 1);
    add(MEnum::biTangentialPressure, tr("Tangential pressure"), tr("Stylus tangential pressure"), 0, 1, 1);
    add(MEnum::biXTilt, tr("X tilt"), tr("X tilt"), -60, 0, 60);
    add(MEnum::biYTilt, tr("Y tilt"), tr("Y tilt"), -60, 0, 60);
    add(MEnum::biPositionX, tr("Position x"), tr("Position x"), -100, 0, 100);
    add(MEnum::biPositionY, tr("Position y"), tr("Position y"), -100, 0, 100);
    add(MEnum::biDirectionX, tr("Direction x"), tr("Direction x"), -1, 0, 1);
    add(MEnum::biDirectionY, tr("Direction y"), tr("Direction y"), -1, 0, 1);
    add(MEnum::biSpeed, tr("Speed"), tr("Speed"), 0, 0, 100);
    add(MEnum::biTimeToPrevious, tr("Time to previous"), tr("Time elapsed between two inputs of a stroke (ms)"), 0, 0, 100);
    add(MEnum::biTotalTime, tr("Total time"), tr("Time elapsed since the start of a stroke (ms)"), 0, 0, 10000);
    add(MEnum::biDistanceToPrevious, tr("Distance to previous"),
        tr("Distance travelled by the stylus or mouse between two inputs of a stroke (px)"), 0, 0, 80);
    add(MEnum::biTotalDistance, tr("Total distance"),
        tr("Distance travelled by the stylus or mouse since the start of stroke (px)"), 0, 0, 1000);
    add(MEnum::biRandom, tr("Random number"), tr("Random number generated at each stamp (between 0 and 1)"), 0, 0, 1);
}

void MBrushInputInfoList::add(int id, const QString &label, const QString &description, double minimum,
                              double defaultValue, double maximum)
{
    m_infos.insert(id, MBrushInputInfo(id, label, description, minimum, defaultValue, maximum));
}
