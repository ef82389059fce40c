#include "mpathevents.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <cmath>

QVector<MEvent> MPathEvents::fromPath(const QPainterPath &path)
{
    QVector<MEvent> events;
    MEvent event;
    double totalTime = 0.0;
    double totalDistance = 0.0;
    double *inputs = event.inputs;
    for (const QPolygonF &polygon : path.toSubpathPolygons(QTransform())) {
        QPointF last;
        for (int i = 0; i < polygon.size(); ++i) {
            const QPointF point = polygon.at(i);
            if (i == 0) {
                event.type = MEvent::Press;
                for (int input : {MEnum::biTimeToPrevious, MEnum::biTotalTime, MEnum::biDistanceToPrevious,
                                  MEnum::biTotalDistance, MEnum::biDirectionX, MEnum::biDirectionY})
                    inputs[input] = 0.0;
                inputs[MEnum::biSpeed] = 2.0;
                inputs[MEnum::biPositionX] = point.x();
                inputs[MEnum::biPositionY] = point.y();
                last = point;
                events.append(event);
            } else {
                const QPointF v = point - last;
                const double length = std::hypot(v.x(), v.y());
                if (length >= 0.5) {
                    event.type = MEvent::Move;
                    inputs[MEnum::biDistanceToPrevious] = length;
                    inputs[MEnum::biDirectionX] = v.x() / length;
                    inputs[MEnum::biDirectionY] = v.y() / length;
                    inputs[MEnum::biTimeToPrevious] = 2.0;
                    totalTime += 2.0;
                    inputs[MEnum::biTotalTime] = totalTime;
                    inputs[MEnum::biSpeed] = length * 0.5;
                    totalDistance += length;
                    inputs[MEnum::biTotalDistance] = totalDistance;
                    inputs[MEnum::biPositionX] = point.x();
                    inputs[MEnum::biPositionY] = point.y();
                    last = point;
                    events.append(event);
                }
            }
            if (i == polygon.size() - 1) {
                event.type = MEvent::Release;
                events.append(event);
            }
        }
    }
    return events;
}
