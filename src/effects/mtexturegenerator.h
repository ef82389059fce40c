#pragma once

#include "mvalues.h"

#include <QImage>
#include <QVector>

#include <functional>

class MField;

// A procedural image computed from a few named parameters, which are also
// described as field records so that a field panel can edit them. All
// generators share one value-noise table and one turbulence function.
class MTextureGenerator : public MValues
{
    Q_OBJECT
    Q_PROPERTY(int width READ width NOTIFY widthChanged)
    Q_PROPERTY(int height READ height NOTIFY heightChanged)
public:
    explicit MTextureGenerator(QObject *parent = nullptr);
    ~MTextureGenerator() override;

    void clear() override;

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Sizes below 2 become 1; always draws new noise.
    void setSize(int width, int height);

    void addParameter(const MField &field);
    const QVector<MField *> &parameters() const { return m_parameters; }
    double parameter(const QByteArray &name) const { return value(name).toDouble(); }

    // Replaces the noise table (width x height entries, row by row) so that
    // an image can be made again from the same noise; ignored when the size differs.
    void setNoiseTable(const QVector<double> &table);
    double noise(int x, int y) const { return m_noise.isEmpty() ? 0.0 : m_noise.at(x + y * m_width); }
    double turbulence(double x, double y, double size) const;

public slots:
    virtual QImage generateTexture();

signals:
    void widthChanged(int value);
    void heightChanged(int value);

protected:
    void addParameter(const QByteArray &name, const QString &label, double minimum, double maximum, double step,
                      bool percent, const QVariant &defaultValue);
    QImage blankImage() const;
    // An opaque grey image, grey(x, y) giving each pixel's level.
    QImage greyImage(const std::function<int(int x, int y)> &grey) const;

private:
    void fillNoise();

    int m_width = 256;
    int m_height = 256;
    QVector<double> m_noise;
    QVector<MField *> m_parameters;
};
