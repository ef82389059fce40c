#include "mopengl.h"

#include "mlogger.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderprogramlist.h"
#include "mtexturepool.h"
#include "mutility.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QRegularExpression>
#include <QScreen>
#include <QSysInfo>
#include <QThread>

#include <memory>

MOpenGL::MOpenGL(QObject *parent)
    : QObject(parent)
{
}

MOpenGL::~MOpenGL()
{
    releaseSpareContext();
}

void MOpenGL::releaseSpareContext()
{
    destroyContext(m_spareContext, m_spareSurface);
}

void MOpenGL::destroyContext(QOpenGLContext *&context, QOffscreenSurface *&surface)
{
    // The tile textures it kept go while a context can still free them.
    MTexturePool *pool = MTexturePool::of(context);
    if (pool && pool->count() > 0) {
        QOpenGLContext *previous = QOpenGLContext::currentContext();
        QSurface *previousSurface = previous ? previous->surface() : nullptr;
        if (previous == context || (surface && context->makeCurrent(surface)))
            pool->clear();
        if (previous && previous != context && previousSurface)
            previous->makeCurrent(previousSurface);
    }
    if (surface)
        surface->destroy();
    delete surface;
    surface = nullptr;
    delete context;
    context = nullptr;
}

bool MOpenGL::takeSpareContext(QOpenGLContext *&context, QOffscreenSurface *&surface)
{
    // Contexts belong to the thread that made them.
    if (m_spareContext && m_spareContext->thread() != QThread::currentThread())
        return false;
    // Only a context that shares with today's share context will do.
    if (!m_spareContext || m_spareContext->shareContext() != QOpenGLContext::globalShareContext()
        || !m_spareSurface || !m_spareSurface->isValid()) {
        releaseSpareContext();
        return false;
    }
    context = m_spareContext;
    surface = m_spareSurface;
    m_spareContext = nullptr;
    m_spareSurface = nullptr;
    return true;
}

QSurfaceFormat MOpenGL::requestedFormat()
{
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setSamples(4);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setProfile(QSurfaceFormat::CoreProfile);
    return format;
}

QSurfaceFormat MOpenGL::cardFormat()
{
    QSurfaceFormat format;
    format.setSamples(4);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setProfile(QSurfaceFormat::CoreProfile);
    return format;
}

QOpenGLContext *MOpenGL::createContext(const QSurfaceFormat &format)
{
    auto *context = new QOpenGLContext();
    context->setFormat(format);
    if (context->create())
        return context;
    MLogger::instance()->systemError(QStringLiteral("Unable to create context."));
    delete context;
    return nullptr;
}

QOpenGLContext *MOpenGL::createSharedContext(QOpenGLContext *shareContext)
{
    auto *context = new QOpenGLContext();
    if (shareContext) {
        context->setShareContext(shareContext);
        context->setFormat(shareContext->format());
    } else {
        context->setFormat(QSurfaceFormat::defaultFormat());
    }
    if (context->create()) {
        // A document's tiles are made and released under its context.
        new MTexturePool(context);
        return context;
    }
    MLogger::instance()->systemError(QStringLiteral("Unable to create shared context."));
    delete context;
    return nullptr;
}

QOffscreenSurface *MOpenGL::createOffscreenSurface(QOpenGLContext *context)
{
    return createOffscreenSurface(context ? context->format() : QSurfaceFormat::defaultFormat());
}

QOffscreenSurface *MOpenGL::createOffscreenSurface(const QSurfaceFormat &format)
{
    auto *surface = new QOffscreenSurface(QGuiApplication::primaryScreen());
    surface->setFormat(format);
    surface->create();
    if (surface->isValid())
        return surface;
    MLogger::instance()->systemError(QStringLiteral("Unable to create offscreen surface."));
    delete surface;
    return nullptr;
}

void MOpenGL::clearGlErrors()
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return;
    QOpenGLFunctions *f = context->functions();
    // A lost context reports GL_CONTEXT_LOST forever; bound the loop.
    for (int i = 0; i < 64 && f->glGetError() != GL_NO_ERROR; ++i) {
    }
}

bool MOpenGL::initialize()
{
    if (initialized)
        return true;

    QOpenGLContext *global = QOpenGLContext::globalShareContext();
    if (global && global->surface())
        global->makeCurrent(global->surface());

    std::unique_ptr<QOpenGLContext> context(createSharedContext(global));
    if (!context)
        return false;
    std::unique_ptr<QOffscreenSurface> surface(createOffscreenSurface(context.get()));
    if (!surface)
        return false;
    if (!context->makeCurrent(surface.get()))
        return false;

    QOpenGLFunctions *f = context->functions();
    f->initializeOpenGLFunctions();
    f->glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &m_maxTextureImageUnits);
    f->glGetIntegerv(GL_MAX_TEXTURE_SIZE, &m_maxTextureSize);
    initialized = true;
    context->doneCurrent();
    releaseSpareContext();
    m_spareContext = context.release();
    m_spareSurface = surface.release();
    return true;
}

void MOpenGL::logGlString(unsigned int name, QOpenGLFunctions *functions, const char *format)
{
    ConfigLines lines;
    describeGlString(name, functions, format, lines);
    logConfigLines(lines);
}

bool MOpenGL::describeGlString(unsigned int name, QOpenGLFunctions *functions, const char *format, ConfigLines &lines)
{
    const GLubyte *value = functions->glGetString(name);
    if (!value) {
        lines.append({false, QStringLiteral("System error: Error logging OpenGL %1").arg(name)});
        return false;
    }
    QString text = QString::fromLatin1(format);
    text.replace(QStringLiteral("%s"), QString::fromUtf8(reinterpret_cast<const char *>(value)));
    lines.append({false, text});
    return true;
}

void MOpenGL::logConfigLines(const ConfigLines &lines)
{
    MLogger *logger = MLogger::instance();
    for (const ConfigLine &line : lines) {
        if (line.debug)
            logger->debug(line.text);
        else
            logger->log(line.text);
    }
}

void MOpenGL::dumpOpenGLConfig(const QSurfaceFormat &format)
{
    ConfigLines lines;
    describeOpenGLConfig(format, nullptr, lines);
    logConfigLines(lines);
}

void MOpenGL::describeOpenGLConfig(const QSurfaceFormat &format, QOffscreenSurface *surface, ConfigLines &lines)
{
    const auto error = [&lines](const QString &message) {
        lines.append({false, QStringLiteral("System error: %1").arg(message)});
    };
    std::unique_ptr<QOpenGLContext> context(new QOpenGLContext());
    context->setFormat(format);
    if (!context->create()) {
        error(QStringLiteral("Unable to create context."));
        error(QStringLiteral("Dump openGl config: unable to create a context."));
        return;
    }
    std::unique_ptr<QOffscreenSurface> ownSurface;
    if (!surface) {
        ownSurface.reset(createOffscreenSurface(context.get()));
        surface = ownSurface.get();
    }
    if (!surface) {
        error(QStringLiteral("Dump openGl config: unable to create a surface for the context."));
        return;
    }
    if (!context->makeCurrent(surface)) {
        error(QStringLiteral("Dump openGl config: unable to make current context."));
        return;
    }
    QOpenGLFunctions *f = context->functions();
    describeGlString(GL_VENDOR, f, "OpenGL vendor: %s", lines);
    describeGlString(GL_RENDERER, f, "OpenGL renderer: %s", lines);
    describeGlString(GL_VERSION, f, "OpenGL version: %s", lines);
    describeGlString(GL_SHADING_LANGUAGE_VERSION, f, "OpenGL GLSL version: %s", lines);

    GLint extensions = 0;
    f->glGetIntegerv(GL_NUM_EXTENSIONS, &extensions);
    lines.append({false, QStringLiteral("OpenGL extensions found: %1").arg(extensions)});

    switch (QSurfaceFormat::defaultFormat().profile()) {
    case QSurfaceFormat::CoreProfile:
        lines.append({false, QStringLiteral("Default surface format profile: core profile")});
        break;
    case QSurfaceFormat::CompatibilityProfile:
        lines.append({false, QStringLiteral("Default surface format profile: compatibility profile")});
        break;
    default:
        lines.append({false, QStringLiteral("Default surface format profile: no profile")});
        break;
    }
    context->doneCurrent();
    if (ownSurface)
        ownSurface->destroy();
}

void MOpenGL::dumpSystemConfig()
{
    QOpenGLContext *previous = QOpenGLContext::currentContext();
    QSurface *previousSurface = previous ? previous->surface() : nullptr;
    logConfigLines(systemConfigLines());
    if (previous && previousSurface)
        previous->makeCurrent(previousSurface);
}

MOpenGL::ConfigLines MOpenGL::systemConfigLines(QOffscreenSurface *cardSurface, QOffscreenSurface *requestedSurface)
{
    ConfigLines lines;
    lines.append({false, QStringLiteral("Product name: %1").arg(QSysInfo::prettyProductName())});
    lines.append({false, QStringLiteral("Product version: %1").arg(QSysInfo::productVersion())});
    lines.append({false, QStringLiteral("Kernel type: %1").arg(QSysInfo::kernelType())});
    lines.append({false, QStringLiteral("Kernel version: %1").arg(QSysInfo::kernelVersion())});
    lines.append({false, QStringLiteral("Build architecture: %1").arg(QSysInfo::buildCpuArchitecture())});
    lines.append({false, QStringLiteral("Run architecture: %1").arg(QSysInfo::currentCpuArchitecture())});

    const auto heading = [&lines](const QString &title, int dashes) {
        const QString rule(dashes, QLatin1Char('-'));
        lines.append({true, QString()});
        lines.append({true, rule});
        lines.append({true, title});
        lines.append({true, rule});
    };
    heading(QStringLiteral("Dump OpenGl card config"), 23);
    describeOpenGLConfig(cardFormat(), cardSurface, lines);
    heading(QStringLiteral("Dump OpenGl 3.3 requested config"), 32);
    describeOpenGLConfig(requestedFormat(), requestedSurface, lines);
    return lines;
}

int MOpenGL::errorLine(const QString &compilerLog)
{
    // Mesa writes "0:LINE(COLUMN): error ..."; other drivers "0(LINE) : error ...".
    static const QRegularExpression mesaForm(QStringLiteral("(?:^|\\n)\\s*[0-9]+:(?<number>[0-9]+)[(][0-9]+[)]"));
    static const QRegularExpression parenForm(QStringLiteral("([0-9][(])(?<number>[0-9]+)([)])"));
    for (const QRegularExpression *expression : {&mesaForm, &parenForm}) {
        const QRegularExpressionMatch match = expression->match(compilerLog);
        if (match.hasMatch()) {
            bool ok = false;
            const int line = match.captured(QStringLiteral("number")).toInt(&ok);
            if (ok)
                return line;
        }
    }
    return 0;
}

bool MOpenGL::compileFragmentShader(const QString &source, QStringList &report)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context) {
        report.append(QStringLiteral("System error: Unable to make current context."));
        return false;
    }
    // Compiled through the driver directly: the framework's shader class inserts
    // lines after "#version", which shifts the line numbers the driver reports.
    QOpenGLFunctions *f = context->functions();
    const QByteArray bytes = source.toUtf8();
    const char *text = bytes.constData();
    const GLint length = GLint(bytes.size());
    const GLuint shader = f->glCreateShader(GL_FRAGMENT_SHADER);
    f->glShaderSource(shader, 1, &text, &length);
    f->glCompileShader(shader);
    GLint compiled = GL_FALSE;
    f->glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    GLint logLength = 0;
    f->glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
    QByteArray logBytes(qMax(logLength, 1), '\0');
    f->glGetShaderInfoLog(shader, logBytes.size(), nullptr, logBytes.data());
    f->glDeleteShader(shader);
    if (compiled == GL_TRUE)
        return true;

    const QStringList lines = source.split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    const QString log = QString::fromUtf8(logBytes.constData());
    const int line = errorLine(log);
    if (line > 0) {
        report.append(tr("Error near line %1").arg(line));
        if (line <= lines.size())
            report.append(lines.at(line - 1).trimmed());
    }
    report.append(QString());
    report.append(log);
    report.append(QString());
    report.append(QStringLiteral("GLSL Source code: ---------------->"));
    report.append(QString());
    for (int i = 0; i < lines.size(); ++i)
        report.append(QString::asprintf("%04d", i + 1) + QStringLiteral(": ") + lines.at(i));
    return false;
}

void MOpenGL::compileAllShaders(QStringList &report)
{
    std::unique_ptr<QOpenGLContext> context(createContext(requestedFormat()));
    if (!context) {
        report.append(QStringLiteral("Shaders compilation: unable to create a context."));
        return;
    }
    std::unique_ptr<QOffscreenSurface> surface(createOffscreenSurface(context.get()));
    if (!surface) {
        report.append(QStringLiteral("Shaders compilation: unable to create a surface for the context."));
        return;
    }
    if (!context->makeCurrent(surface.get())) {
        report.append(QStringLiteral("Shaders compilation: unable to make current context."));
        return;
    }

    std::unique_ptr<MShaderProgramList> programs(new MShaderProgramList());
    report.append(QStringLiteral("\nSystem shaders compilation:\n"));
    const QStringList names = programs->builtInProgramNames();
    for (const QString &name : names) {
        QString source;
        MUtility::readTextFile(source, programs->fragmentResource(name));
        QStringList errors;
        if (compileFragmentShader(source, errors)) {
            report.append(QStringLiteral("Fragment shader compilation successful for: %1").arg(name));
        } else {
            report.append(QStringLiteral("Fragment shader compilation error for: %1. Error logs:").arg(name));
            report.append(errors);
            report.append(QString());
        }
    }

    report.append(QStringLiteral("\nEffects and brushes shaders compilation:\n"));
    MShaderList *library = MShaderList::instance();
    for (int row = 0; row < library->rowCount(); ++row) {
        const MShader *shader = library->shaderAt(row);
        if (!shader)
            continue;
        const QString kind = shader->type() == MShader::BrushShader ? QStringLiteral("brush") : QStringLiteral("effect");
        bool ok = false;
        const QString source = shader->buildFragmentSource(&ok);
        if (ok) {
            QStringList errors;
            if (compileFragmentShader(source, errors)) {
                report.append(QStringLiteral("Compilation successful for %1 shader %2 (%3)")
                                  .arg(kind, shader->description(), shader->id()));
            } else {
                report.append(QStringLiteral("Unable to compil source code for %1 shader %2 (%3)")
                                  .arg(kind, shader->description(), shader->id()));
                report.append(errors);
            }
        } else {
            report.append(QStringLiteral("Unable to get source code for %1 shader %2 (%3)")
                              .arg(kind, shader->description(), shader->id()));
        }
    }

    context->doneCurrent();
    surface->destroy();
}
