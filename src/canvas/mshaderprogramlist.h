#pragma once

#include <QHash>
#include <QObject>
#include <QPair>
#include <QStringList>
#include <QVector>

#include <memory>

class MShader;
class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLShaderProgram;
class QOpenGLVertexArrayObject;

// Registry of every GLSL program the system draws with: the built-in programs
// (sources under ":/shaders/") and, on demand, the programs of effects and
// brush engines keyed by the effect's id. Programs are compiled in a context of
// the list's own that shares objects with the global share context, so they
// can be bound in any context of the application.
class MShaderProgramList : public QObject
{
    Q_OBJECT
public:
    // One attribute of the vertex layout every vertex buffer is filled with.
    struct VertexAttribute
    {
        const char *name;
        int offset;     // bytes
        int floats;
    };
    static constexpr int vertexFloats = 28;
    static constexpr int vertexStride = vertexFloats * int(sizeof(float));
    static const QVector<VertexAttribute> &vertexAttributes();

    explicit MShaderProgramList(QObject *parent = nullptr);
    ~MShaderProgramList() override;

    // The list every scratch document (brush previews) draws with, so that
    // a preview does not compile every program again; made on first use and
    // kept until releaseScratchList() or the application's end.
    static MShaderProgramList *scratchList();
    static void releaseScratchList();

    void createSharedContext();
    void destroySharedContext();
    bool isReady() const { return m_ready; }
    QOpenGLContext *context() const { return m_context.get(); }

    void compileAll();
    QOpenGLShaderProgram *compileProgram(const QString &name);
    // A built-in program compiled with the given preprocessor lines in front
    // of its sources, once per set of lines; the context that was current
    // stays current. Null for an unknown name or one that does not link.
    QOpenGLShaderProgram *variant(const QString &name, const QByteArray &defines);
    // Whether that variant was built already (linked or not).
    bool hasVariant(const QString &name, const QByteArray &defines) const;
    QOpenGLShaderProgram *program(const QString &name) const;
    QOpenGLShaderProgram *createShaderProgram(MShader *shader);
    bool compileUserProgram(MShader *shader, QOpenGLShaderProgram *program);
    QOpenGLShaderProgram *programFor(const QString &name);
    void updateShader(const QString &id);
    void removeShaderProgram(MShader *shader);

    // A bound, usable program: an unknown name or a program that does not
    // link gives "basic".
    QOpenGLShaderProgram *bind(const QString &name);
    QOpenGLShaderProgram *bindForVao(const QString &name, QOpenGLVertexArrayObject *vertexArray);
    static void setAttributeBuffers(QOpenGLShaderProgram *program, QOpenGLVertexArrayObject *vertexArray);
    static void release(QOpenGLShaderProgram *program, QOpenGLVertexArrayObject *vertexArray);

    // The built-in programs in the order they were registered.
    QStringList builtInProgramNames() const { return m_order; }
    QString vertexResource(const QString &name) const;
    QString fragmentResource(const QString &name) const;

    // Lower case, trimmed: the key of every look-up.
    static QString normalizedName(const QString &name);

protected:
    void registerProgram(const QString &name, const QString &vertexFile, const QString &fragmentFile);

private:
    bool makeCurrent();
    bool ensureOwnContext();

    QHash<QString, QOpenGLShaderProgram *> m_programs;
    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOffscreenSurface> m_surface;
    QOpenGLContext *m_previousContext = nullptr;
    bool m_ready = false;
    QHash<QString, QPair<QString, QString>> m_sources;
    QStringList m_order;
};
