#pragma once

#include <QObject>

// The orientations of a paper format.
class MPaperSize : public QObject
{
    Q_OBJECT
public:
    enum Orientation { Portrait = 0, Landscape = 1 };
    Q_ENUM(Orientation)

    using QObject::QObject;
};
