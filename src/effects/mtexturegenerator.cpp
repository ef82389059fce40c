#include "mtexturegenerator.h"

#include "mfield.h"
#include "mrandom.h"

#include <QTime>

#include <cmath>

MTextureGenerator::MTextureGenerator(QObject *parent) : MValues(parent)
{
    fillNoise();
}

MTextureGenerator::~MTextureGenerator()
{
    qDeleteAll(m_parameters);
}

void MTextureGenerator::clear()
{
    qDeleteAll(m_parameters);
    m_parameters.clear();
    MValues::clear();
    m_noise.clear();
}

void MTextureGenerator::setSize(int width, int height)
{
    m_width = width < 2 ? 1 : width;
    m_height = height < 2 ? 1 : height;
    fillNoise();
}

void MTextureGenerator::addParameter(const MField &field)
{
    m_parameters.append(new MField(field));
    setValue(field.name(), field.value());
}

void MTextureGenerator::addParameter(const QByteArray &name, const QString &label, double minimum, double maximum,
                                     double step, bool percent, const QVariant &defaultValue)
{
    MField field;
    field.setName(name);
    field.setLabel(label);
    field.setType(QMetaType::Double);
    field.setRange(minimum, maximum);
    field.setSingleStep(step);
    field.setPercentage(percent);
    field.setValue(defaultValue);
    addParameter(field);
}

void MTextureGenerator::fillNoise()
{
    MRandom::seed(static_cast<unsigned int>(QTime::currentTime().msec()));
    m_noise.resize(m_width * m_height);
    for (double &entry : m_noise)
        entry = (MRandom::next() % 32768) / 32768.0;
}

void MTextureGenerator::setNoiseTable(const QVector<double> &table)
{
    if (table.size() == m_width * m_height)
        m_noise = table;
}

double MTextureGenerator::turbulence(double x, double y, double size) const
{
    if (size < 1 || m_noise.isEmpty())
        return 0.0;
    const int w = m_width;
    const int h = m_height;
    double v = 0;
    for (double z = size; z >= 1; z /= 2) {
        const double u = x / z;
        const double t = y / z;
        const double fx = u - std::trunc(u);
        const double fy = t - std::trunc(t);
        const int x1 = ((w + static_cast<int>(std::trunc(u))) % w + w) % w;
        const int y1 = ((h + static_cast<int>(std::trunc(t))) % h + h) % h;
        const int x2 = (x1 + w - 1) % w;
        const int y2 = (y1 + h - 1) % h;
        const double smooth = fx * fy * noise(x1, y1) + (1 - fx) * fy * noise(x2, y1) + fx * (1 - fy) * noise(x1, y2)
            + (1 - fx) * (1 - fy) * noise(x2, y2);
        v += smooth * z;
    }
    return 128 * v / size;
}

QImage MTextureGenerator::generateTexture()
{
    return QImage();
}

QImage MTextureGenerator::blankImage() const
{
    return QImage(m_width, m_height, QImage::Format_ARGB32);
}

QImage MTextureGenerator::greyImage(const std::function<int(int x, int y)> &grey) const
{
    QImage image = blankImage();
    for (int y = 0; y < m_height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < m_width; ++x) {
            const int g = grey(x, y);
            line[x] = qRgb(g, g, g);
        }
    }
    return image;
}
