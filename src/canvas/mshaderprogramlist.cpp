#include "mshaderprogramlist.h"

#include "mlogcategory.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mshader.h"
#include "mshaderlist.h"

#include <QDebug>
#include <QFile>
#include <QCoreApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>

namespace {
const QString basicName = QStringLiteral("basic");
const QString basicVertex = QStringLiteral(":/shaders/basic_vert.glsl");
const QString stampVertex = QStringLiteral(":/shaders/stamping_vert.glsl");
MShaderProgramList *s_scratchList = nullptr;

// Puts back, when it goes, the context that was current when it was made.
class CurrentContextKeeper
{
public:
    CurrentContextKeeper()
        : m_context(QOpenGLContext::currentContext())
        , m_surface(m_context ? m_context->surface() : nullptr)
    {
    }
    ~CurrentContextKeeper()
    {
        if (m_context && m_surface && m_context != QOpenGLContext::currentContext())
            m_context->makeCurrent(m_surface);
    }

private:
    QOpenGLContext *m_context;
    QSurface *m_surface;
};

void trace(const QString &message)
{
    qCDebug(lcCanvas).noquote() << QStringLiteral("%1::%2").arg(QStringLiteral("mshaderprogramlist"),
                                                       QStringLiteral("MShaderProgramList::bind"))
                       << message;
}
} // namespace

const QVector<MShaderProgramList::VertexAttribute> &MShaderProgramList::vertexAttributes()
{
    static const QVector<VertexAttribute> attributes = {
        {"vertexPosition", 0, 2},
        {"vertexColor", 8, 4},
        {"modelMatrix", 24, 16},
        {"textureCoordinates0", 88, 2},
        {"textureCoordinates1", 96, 2},
        {"textureCoordinates2", 104, 2},
    };
    return attributes;
}

MShaderProgramList::MShaderProgramList(QObject *parent)
    : QObject(parent)
{
    const QString basicVert = QStringLiteral("basic_vert.glsl");
    registerProgram(basicName, basicVert, QStringLiteral("basic_frag.glsl"));
    registerProgram(QStringLiteral("blit"), basicVert, QStringLiteral("blit_frag.glsl"));
    registerProgram(QStringLiteral("copy"), basicVert, QStringLiteral("copy_frag.glsl"));
    registerProgram(QStringLiteral("stamping"), QStringLiteral("stamping_vert.glsl"), QStringLiteral("stamping_frag.glsl"));
    registerProgram(QStringLiteral("color"), basicVert, QStringLiteral("color_frag.glsl"));
    registerProgram(QStringLiteral("paper"), basicVert, QStringLiteral("paper_frag.glsl"));
    registerProgram(QStringLiteral("shading"), QStringLiteral("shading_vert.glsl"), QStringLiteral("shading_frag.glsl"));
    registerProgram(QStringLiteral("line"), QStringLiteral("line_vert.glsl"), QStringLiteral("line_frag.glsl"));
    registerProgram(QStringLiteral("grid"), basicVert, QStringLiteral("grid_frag.glsl"));
    registerProgram(QStringLiteral("colorfeedback"), basicVert, QStringLiteral("colorfeedback_frag.glsl"));
    registerProgram(QStringLiteral("fill"), basicVert, QStringLiteral("fill_frag.glsl"));
    registerProgram(QStringLiteral("stroke"), basicVert, QStringLiteral("stroke_frag.glsl"));
    registerProgram(QStringLiteral("selection"), basicVert, QStringLiteral("selection_frag.glsl"));
    registerProgram(QStringLiteral("texture"), basicVert, QStringLiteral("texture_frag.glsl"));
}

MShaderProgramList *MShaderProgramList::scratchList()
{
    if (!s_scratchList) {
        s_scratchList = new MShaderProgramList();
        // Its GL objects must go while the platform still exists.
        qAddPostRoutine(&MShaderProgramList::releaseScratchList);
    }
    return s_scratchList;
}

void MShaderProgramList::releaseScratchList()
{
    MShaderProgramList *list = s_scratchList;
    s_scratchList = nullptr;
    delete list;
}

MShaderProgramList::~MShaderProgramList()
{
    if (m_ready && m_context)
        m_context->makeCurrent(m_surface.get());
    qDeleteAll(m_programs);
    m_programs.clear();
    if (m_surface)
        m_surface->destroy();
}

void MShaderProgramList::registerProgram(const QString &name, const QString &vertexFile, const QString &fragmentFile)
{
    // A bare file name is a built-in resource; anything else a path as given.
    auto path = [](const QString &file) {
        return file.contains(QLatin1Char('/')) ? file : QStringLiteral(":/shaders/") + file;
    };
    const QString key = normalizedName(name);
    if (!m_sources.contains(key))
        m_order.append(key);
    m_sources.insert(key, qMakePair(path(vertexFile), path(fragmentFile)));
}

QString MShaderProgramList::normalizedName(const QString &name)
{
    return name.toLower().trimmed();
}

QString MShaderProgramList::vertexResource(const QString &name) const
{
    return m_sources.value(normalizedName(name)).first;
}

QString MShaderProgramList::fragmentResource(const QString &name) const
{
    return m_sources.value(normalizedName(name)).second;
}

void MShaderProgramList::createSharedContext()
{
    // The context itself is made when first needed: programs are shared, so
    // any current context of the group compiles them, and at start the view's
    // is current when the first frame asks for its programs.
    m_ready = true;
}

bool MShaderProgramList::ensureOwnContext()
{
    if (m_context)
        return true;
    QOpenGLContext *remembered = QOpenGLContext::currentContext();
    QSurface *rememberedSurface = remembered ? remembered->surface() : nullptr;
    QOpenGLContext *global = QOpenGLContext::globalShareContext();
    if (global && global->surface())
        global->makeCurrent(global->surface());

    m_context.reset(MOpenGL::createSharedContext(global));
    if (!m_context) {
        MLogger::instance()->systemError(QStringLiteral("Unable to create shared context"));
    } else {
        m_surface.reset(MOpenGL::createOffscreenSurface(m_context.get()));
        if (!m_surface) {
            MLogger::instance()->systemError(QStringLiteral("Unable to create surface"));
            m_context.reset();
        } else if (m_context->makeCurrent(m_surface.get())) {
            m_context->functions()->initializeOpenGLFunctions();
        }
    }

    if (remembered && rememberedSurface)
        remembered->makeCurrent(rememberedSurface);
    else if (QOpenGLContext *current = QOpenGLContext::currentContext())
        current->doneCurrent();
    return bool(m_context);
}

void MShaderProgramList::destroySharedContext()
{
    if (m_surface)
        m_surface->destroy();
    m_surface.reset();
    m_context.reset();
    m_ready = false;
}

bool MShaderProgramList::makeCurrent()
{
    QOpenGLContext *current = QOpenGLContext::currentContext();
    QOpenGLContext *global = QOpenGLContext::globalShareContext();
    if (m_ready && current && (current == m_context.get() || (global && QOpenGLContext::areSharing(current, global))))
        return true;
    if (m_ready && ensureOwnContext() && m_context->makeCurrent(m_surface.get()))
        return true;
    MLogger::instance()->systemError(QStringLiteral("Unable to make current context"));
    return false;
}

void MShaderProgramList::compileAll()
{
    for (const QString &name : qAsConst(m_order))
        compileProgram(name);
}

QOpenGLShaderProgram *MShaderProgramList::compileProgram(const QString &name)
{
    const QString key = normalizedName(name);
    if (QOpenGLShaderProgram *existing = m_programs.value(key))
        return existing;
    if (!m_sources.contains(key))
        return nullptr;
    const CurrentContextKeeper keeper;
    if (!makeCurrent())
        return nullptr;

    const QPair<QString, QString> paths = m_sources.value(key);
    auto *shaderProgram = new QOpenGLShaderProgram();
    MLogger &logger = *MLogger::instance();
    // Every step runs even after a failure, so the log shows all that is wrong.
    bool stagesCompiled = true;
    if (!shaderProgram->addShaderFromSourceFile(QOpenGLShader::Vertex, paths.first)) {
        logger.systemError(QStringLiteral("Could not compile vertex shader. Error: %1").arg(shaderProgram->log()));
        stagesCompiled = false;
    }
    if (!shaderProgram->addShaderFromSourceFile(QOpenGLShader::Fragment, paths.second)) {
        logger.systemError(QStringLiteral("Could not compile fragment shader. Error: %1").arg(shaderProgram->log()));
        stagesCompiled = false;
    }
    if (!shaderProgram->link())
        logger.systemError(QStringLiteral("Could not link shader program. Error: %1").arg(shaderProgram->log()));
    if (!stagesCompiled) {
        // The remaining stage alone may well link (a vertex stage alone is a
        // valid program) and would draw garbage: keep a program that never
        // links instead, so that binding it falls back to "basic".
        delete shaderProgram;
        shaderProgram = new QOpenGLShaderProgram();
        shaderProgram->create();
    }
    m_programs.insert(key, shaderProgram);
    return shaderProgram;
}

namespace {
QString variantKey(const QString &base, const QByteArray &defines)
{
    return base + QLatin1Char('#') + QString::fromLatin1(defines);
}
} // namespace

bool MShaderProgramList::hasVariant(const QString &name, const QByteArray &defines) const
{
    return m_programs.contains(variantKey(normalizedName(name), defines));
}

QOpenGLShaderProgram *MShaderProgramList::variant(const QString &name, const QByteArray &defines)
{
    const QString base = normalizedName(name);
    const QString key = variantKey(base, defines);
    if (QOpenGLShaderProgram *existing = m_programs.value(key))
        return existing->isLinked() ? existing : nullptr;
    if (!m_sources.contains(base))
        return nullptr;
    const CurrentContextKeeper keeper;
    if (!makeCurrent())
        return nullptr;
    // The lines go right after the version line, which must come first.
    auto withDefines = [&defines](const QString &path) {
        QFile file(path);
        QByteArray source = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const int end = source.indexOf('\n');
        if (end >= 0 && source.startsWith("#version"))
            source.insert(end + 1, defines);
        return source;
    };
    const QPair<QString, QString> paths = m_sources.value(base);
    auto *shaderProgram = new QOpenGLShaderProgram();
    const bool linked = shaderProgram->addShaderFromSourceCode(QOpenGLShader::Vertex, withDefines(paths.first))
        && shaderProgram->addShaderFromSourceCode(QOpenGLShader::Fragment, withDefines(paths.second))
        && shaderProgram->link();
    if (!linked)
        MLogger::instance()->systemError(
            QStringLiteral("Could not build a variant of %1. Error: %2").arg(base, shaderProgram->log()));
    m_programs.insert(key, shaderProgram);
    return linked ? shaderProgram : nullptr;
}

QOpenGLShaderProgram *MShaderProgramList::program(const QString &name) const
{
    return m_programs.value(normalizedName(name));
}

QOpenGLShaderProgram *MShaderProgramList::createShaderProgram(MShader *shader)
{
    if (!shader)
        return nullptr;
    const QString key = normalizedName(shader->id());
    if (QOpenGLShaderProgram *existing = m_programs.value(key))
        return existing;
    if (!makeCurrent())
        return nullptr;
    auto *shaderProgram = new QOpenGLShaderProgram();
    m_programs.insert(key, shaderProgram);
    compileUserProgram(shader, shaderProgram);
    return shaderProgram;
}

bool MShaderProgramList::compileUserProgram(MShader *shader, QOpenGLShaderProgram *program)
{
    if (!shader || !program)
        return false;
    shader->setIsValid(false);
    if (!makeCurrent())
        return false;
    program->removeAllShaders();
    // A stage that fails leaves no stage behind: the vertex stage alone would
    // link on a later bind and draw garbage instead of falling back to "basic".
    // A brush engine's stamps bring the frame the stamp functions read.
    const QString vertex = shader->type() == MShader::BrushShader ? stampVertex : basicVertex;
    if (!program->addShaderFromSourceFile(QOpenGLShader::Vertex, vertex)) {
        qCDebug(lcCanvas).noquote() << QStringLiteral("Could not compile vertex shader. Error: %1").arg(program->log());
        program->removeAllShaders();
        return false;
    }
    if (!program->addShaderFromSourceCode(QOpenGLShader::Fragment, shader->buildFragmentSource(nullptr))) {
        qCDebug(lcCanvas).noquote() << QStringLiteral("Could not compile fragment shader %1:%2Error: %3")
                                  .arg(shader->group(), shader->description(), program->log());
        program->removeAllShaders();
        return false;
    }
    if (!program->link()) {
        qCDebug(lcCanvas).noquote() << QStringLiteral("Could not link shader program. Error: %1").arg(program->log());
        return false;
    }
    shader->setIsValid(true);
    return true;
}

QOpenGLShaderProgram *MShaderProgramList::programFor(const QString &name)
{
    if (QOpenGLShaderProgram *stored = program(name))
        return stored;
    // Built-in programs are compiled when first drawn with.
    if (m_sources.contains(normalizedName(name)))
        return compileProgram(name);
    if (MShader *shader = MShaderList::instance()->find(name))
        return createShaderProgram(shader);
    return compileProgram(basicName);
}

void MShaderProgramList::updateShader(const QString &id)
{
    if (MShader *shader = MShaderList::instance()->find(id)) {
        removeShaderProgram(shader);
        createShaderProgram(shader);
    }
}

void MShaderProgramList::removeShaderProgram(MShader *shader)
{
    if (!shader)
        return;
    QOpenGLShaderProgram *stored = m_programs.take(normalizedName(shader->id()));
    if (!stored)
        return;
    stored->release();
    delete stored;
}

QOpenGLShaderProgram *MShaderProgramList::bind(const QString &name)
{
    QOpenGLShaderProgram *bound = program(name);
    if (!bound) {
        QOpenGLContext *current = QOpenGLContext::currentContext();
        m_previousContext = current != m_context.get() ? current : nullptr;
        bound = programFor(name);
        if (m_previousContext && QOpenGLContext::currentContext() != m_previousContext)
            m_previousContext->makeCurrent(m_previousContext->surface());
    }
    if (bound && !bound->isLinked()) {
        trace(QStringLiteral("program link"));
        bound->link();
    }
    if (!bound || !bound->isLinked()) {
        trace(QStringLiteral("fallback to basic"));
        bound = compileProgram(basicName);
    }
    if (bound)
        bound->bind();
    return bound;
}

QOpenGLShaderProgram *MShaderProgramList::bindForVao(const QString &name, QOpenGLVertexArrayObject *vertexArray)
{
    QOpenGLShaderProgram *bound = bind(name);
    setAttributeBuffers(bound, vertexArray);
    return bound;
}

void MShaderProgramList::setAttributeBuffers(QOpenGLShaderProgram *program, QOpenGLVertexArrayObject *vertexArray)
{
    if (!program)
        return;
    if (vertexArray && MOpenGL::instance()->useVertexArrayObjects)
        vertexArray->bind();
    for (const VertexAttribute &attribute : vertexAttributes()) {
        const int location = program->attributeLocation(attribute.name);
        if (location < 0)
            continue;   // not read by this program
        // A matrix takes one location per column of four floats.
        const int columns = attribute.floats > 4 ? attribute.floats / 4 : 1;
        const int size = attribute.floats / columns;
        for (int column = 0; column < columns; ++column) {
            program->enableAttributeArray(location + column);
            program->setAttributeBuffer(location + column, GL_FLOAT,
                                        attribute.offset + column * size * int(sizeof(float)), size, vertexStride);
        }
    }
}

void MShaderProgramList::release(QOpenGLShaderProgram *program, QOpenGLVertexArrayObject *vertexArray)
{
    if (!program)
        return;
    for (const VertexAttribute &attribute : vertexAttributes()) {
        const int location = program->attributeLocation(attribute.name);
        const int columns = attribute.floats > 4 ? attribute.floats / 4 : 1;
        for (int column = 0; location >= 0 && column < columns; ++column)
            program->disableAttributeArray(location + column);
    }
    if (vertexArray && MOpenGL::instance()->useVertexArrayObjects)
        vertexArray->release();
    program->release();
}
