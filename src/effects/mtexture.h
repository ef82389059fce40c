#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// One user texture of an effect or brush engine: the image file a program
// samples under its own sampler name, with how it is sampled (indexes into
// the filter and wrap maps) and, once the paint engine has loaded it, the
// OpenGL texture holding it.
class MTexture : public QObject
{
    Q_OBJECT
public:
    explicit MTexture(QObject *parent = nullptr);

    QByteArray name() const { return m_name; }
    void setName(const QByteArray &name) { m_name = name; }
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
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    int width() const { return m_width; }
    int height() const { return m_height; }

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

// The OpenGL filter and wrap mode of an option index; any other index gives
// GL_LINEAR and GL_CLAMP_TO_EDGE.
int filterToGl(int index);
int wrapModeToGl(int index);
