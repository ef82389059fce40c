#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// One user texture of an effect or brush-engine source: the sampler it is
// bound to, the image file it is loaded from and how it is sampled. The
// filters and wraps are indices in keyword order; filterToGl and wrapModeToGl
// give the OpenGL values.
class MTexture : public QObject
{
    Q_OBJECT
public:
    explicit MTexture(QObject *parent = nullptr);

    QByteArray name() const { return m_name; }
    void setName(const QByteArray &name) { m_name = name; }
    // 0 until the image is loaded into a texture.
    unsigned int textureId() const { return m_textureId; }
    void setTextureId(unsigned int id) { m_textureId = id; }
    int minFilter() const { return m_minFilter; }
    void setMinFilter(int index) { m_minFilter = index; }
    int magFilter() const { return m_magFilter; }
    void setMagFilter(int index) { m_magFilter = index; }
    int wrapS() const { return m_wrapS; }
    void setWrapS(int index) { m_wrapS = index; }
    int wrapT() const { return m_wrapT; }
    void setWrapT(int index) { m_wrapT = index; }
    // As written in the source: it may hold path variables.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    int width() const { return m_width; }
    void setWidth(int width) { m_width = width; }
    int height() const { return m_height; }
    void setHeight(int height) { m_height = height; }

private:
    QByteArray m_name;
    unsigned int m_textureId = 0;
    int m_minFilter = 5;
    int m_magFilter = 1;
    int m_wrapS = 2;
    int m_wrapT = 2;
    QString m_fileName;
    int m_width = 512;
    int m_height = 512;
};

// Filter index (nearest, linear, then the four mipmap filters) to the OpenGL
// filter; GL_LINEAR for any other index.
int filterToGl(int index);
// Wrap index (repeat, mirroredrepeat, clamptoedge, clamptoborder,
// mirrorclamptoedge) to the OpenGL wrap mode; GL_CLAMP_TO_EDGE for any other
// index, and for mirrorclamptoedge, which OpenGL 3.3 lacks.
int wrapModeToGl(int index);
// The filter without its mipmap part: what a texture without mipmaps can use.
int filterWithoutMipmaps(int glFilter);
