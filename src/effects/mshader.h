#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class MField;
class MTexture;

// One effect or brush engine: a small GLSL program with its parameters.
class MShader : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int type READ type WRITE set_type NOTIFY typeChanged)
    Q_PROPERTY(QString id READ id WRITE set_id NOTIFY idChanged)
    Q_PROPERTY(QString group READ group WRITE set_group NOTIFY groupChanged)
    Q_PROPERTY(QString description READ description WRITE set_description NOTIFY descriptionChanged)
public:
    enum Type { EffectShader = 0, BrushShader = 1 };
    Q_ENUM(Type)

    explicit MShader(QObject *parent = nullptr);

    int type() const { return m_type; }
    QString id() const { return m_id; }
    QString group() const { return m_group; }
    QString description() const { return m_description; }

    // Result of the last compilation of the effect's program.
    bool isValid() const { return m_isValid; }
    void setIsValid(bool value) { m_isValid = value; }

    // The complete fragment source, or empty text with *ok false when the
    // effect's sections do not parse.
    virtual QString buildFragmentSource(bool *ok) const;

    // The effect's parameters, each with its name and default value; true
    // when the parameter section parses.
    virtual bool parseParams();
    virtual int paramCount() const;
    virtual MField *paramAt(int index) const;
    virtual MField *param(const QByteArray &name) const;

    // The user textures the program samples, in declaration order.
    virtual int textureCount() const;
    virtual MTexture *texture(int index) const;
    // The user textures changed and their images must be loaded again.
    bool texturesModified() const { return m_texturesModified; }
    void setTexturesModified(bool value) { m_texturesModified = value; }

    // How the layer textures are sampled for this program (OpenGL values).
    int minFilter() const { return m_minFilter; }
    int magFilter() const { return m_magFilter; }
    int wrapS() const { return m_wrapS; }
    int wrapT() const { return m_wrapT; }
    void setSampling(int minFilter, int magFilter, int wrapS, int wrapT);

public slots:
    void set_type(int value);
    void set_id(const QString &value);
    void set_group(const QString &value);
    void set_description(const QString &value);

signals:
    void typeChanged(int value);
    void idChanged(const QString &value);
    void groupChanged(const QString &value);
    void descriptionChanged(const QString &value);

private:
    int m_type = EffectShader;
    QString m_id;
    QString m_group;
    QString m_description;
    bool m_isValid = false;
    bool m_texturesModified = true;
    int m_minFilter;
    int m_magFilter;
    int m_wrapS;
    int m_wrapT;
};
