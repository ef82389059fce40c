#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class MField;
class MTexture;

// One effect or brush engine: a small GLSL program with its parameters.
//
// The source is divided into sections opened by lines starting with "@":
// "@params" (parameters and user textures), "@options" (how the layer
// textures are sampled), "@functions" (GLSL functions) and "@main" (the body
// of main). The two small languages are compiled once per source text; the
// fragment program is the frame of the shader's type around the user's GLSL.
class MShader : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int minFilter READ minFilter WRITE set_minFilter NOTIFY minFilterChanged)
    Q_PROPERTY(int magFilter READ magFilter WRITE set_magFilter NOTIFY magFilterChanged)
    Q_PROPERTY(int wrapS READ wrapS WRITE set_wrapS NOTIFY wrapSChanged)
    Q_PROPERTY(int wrapT READ wrapT WRITE set_wrapT NOTIFY wrapTChanged)
    Q_PROPERTY(QString group READ group WRITE set_group NOTIFY groupChanged)
    Q_PROPERTY(QString description READ description WRITE set_description NOTIFY descriptionChanged)
    Q_PROPERTY(QString source READ source WRITE set_source NOTIFY sourceChanged)
    Q_PROPERTY(QString id READ id WRITE set_id NOTIFY idChanged)
    Q_PROPERTY(bool isValid READ isValid WRITE setIsValid NOTIFY isValidChanged)
    Q_PROPERTY(int type READ type WRITE set_type NOTIFY typeChanged)
    Q_PROPERTY(QImage preview READ preview WRITE set_preview NOTIFY previewChanged)
public:
    enum Type { EffectShader = 0, BrushShader = 1 };
    Q_ENUM(Type)

    explicit MShader(QObject *parent = nullptr);
    ~MShader() override;

    // OpenGL filters and wrap modes used when the layer textures are bound.
    int minFilter() const { return m_minFilter; }
    int magFilter() const { return m_magFilter; }
    int wrapS() const { return m_wrapS; }
    int wrapT() const { return m_wrapT; }
    QString id() const { return m_id; }
    QString group() const { return m_group; }
    QString description() const { return m_description; }
    QString source() const { return m_source; }
    // Result of the last compilation of the effect's program.
    bool isValid() const { return m_isValid; }
    int type() const { return m_type; }

    // A new id, empty texts, the source "@main" and no parameters.
    void reset();
    // Everything but the id; the parameters are deep copies. The copy's user
    // textures come back when its source is compiled on first use.
    void copy(const MShader *other);

    // The item's file in the user effect folder; empty when the id cannot name
    // a file there.
    QString fileName() const;
    // An empty file name reads fileName().
    bool load(const QString &fileName = QString());
    bool save();

    // The trimmed lines of every section of that name, in source order.
    QStringList sectionLines(const QString &name) const;

    // The complete fragment source, or empty text with *ok false when the
    // effect's sections do not parse.
    virtual QString buildFragmentSource(bool *ok) const;

    // The effect's parameters, each with its name and default value, valid
    // after a successful parseParams().
    virtual int paramCount() const;
    virtual MField *paramAt(int index) const;
    virtual MField *param(const QByteArray &name) const;
    QList<MField *> params() const { return m_params; }
    // The user textures the program samples, in declaration order.
    virtual int textureCount() const;
    virtual MTexture *texture(int index) const;
    // The user textures were rebuilt: their images must be loaded again.
    bool texturesModified() const { return m_texturesModified; }
    void setTexturesModified(bool value) { m_texturesModified = value; }
    // The messages of the last compilation of the two languages.
    QString errorText() const { return m_errorText; }

    // The preview of shaders without one of their own.
    static QImage defaultPreview();

public slots:
    void set_minFilter(int value);
    void set_magFilter(int value);
    void set_wrapS(int value);
    void set_wrapT(int value);
    void set_id(const QString &value);
    void set_group(const QString &value);
    void set_description(const QString &value);
    // A new source is compiled again on next use.
    void set_source(const QString &value);
    void setIsValid(bool value);
    void set_type(int value);
    void set_preview(const QImage &value);
    // Compiles "@params" and "@options"; on an error the previous parameters
    // stay and errorText() says why.
    virtual bool parseParams();
    QImage preview() const;

signals:
    void minFilterChanged(int value);
    void magFilterChanged(int value);
    void wrapSChanged(int value);
    void wrapTChanged(int value);
    void idChanged(const QString &value);
    void groupChanged(const QString &value);
    void descriptionChanged(const QString &value);
    void sourceChanged(const QString &value);
    void isValidChanged(bool value);
    void typeChanged(int value);
    void previewChanged(const QImage &value);

private:
    void clearParams();
    void setParams(const QList<MField *> &params);

    int m_minFilter = 0;
    int m_magFilter = 0;
    int m_wrapS = 0;
    int m_wrapT = 0;
    QString m_id;
    QString m_group;
    QString m_description;
    QString m_source;
    bool m_isValid = false;
    int m_type = EffectShader;
    QList<MField *> m_params;
    QList<MTexture *> m_textures;
    QHash<QByteArray, MField *> m_paramIndex;
    QString m_errorText;
    bool m_parsed = false;
    bool m_texturesModified = true;
    QImage m_preview;
};
