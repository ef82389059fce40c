#pragma once

#include "msingleton.h"

#include <QObject>
#include <QStringList>
#include <QSurfaceFormat>
#include <QVector>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFunctions;

// How the system obtains OpenGL contexts and what the driver can do: context
// and surface factories, the start-up driver test, the configuration dump and
// the shader compilation report.
class MOpenGL : public QObject, public MSingleton<MOpenGL>
{
    Q_OBJECT
public:
    explicit MOpenGL(QObject *parent = nullptr);
    ~MOpenGL() override;

    bool initialize();
    bool isInitialized() const { return initialized; }
    int maxTextureImageUnits() const { return m_maxTextureImageUnits; }
    int maxTextureSize() const { return m_maxTextureSize; }

    bool useVertexArrayObjects = true;

    static QSurfaceFormat requestedFormat();
    static QSurfaceFormat cardFormat();

    // The driver test's context and surface, shared with the global share
    // context, handed once to whoever needs such a pair first (the document),
    // so that start-up makes one context fewer. False when there is none left.
    bool takeSpareContext(QOpenGLContext *&context, QOffscreenSurface *&surface);

    static QOpenGLContext *createContext(const QSurfaceFormat &format);
    static QOpenGLContext *createSharedContext(QOpenGLContext *shareContext);
    static QOffscreenSurface *createOffscreenSurface(QOpenGLContext *context);
    static QOffscreenSurface *createOffscreenSurface(const QSurfaceFormat &format);
    // Deletes both and leaves them null.
    static void destroyContext(QOpenGLContext *&context, QOffscreenSurface *&surface);
    static void clearGlErrors();
    static void logGlString(unsigned int name, QOpenGLFunctions *functions, const char *format);
    static void dumpOpenGLConfig(const QSurfaceFormat &format);
    static void dumpSystemConfig();

    // A line of the system description; debug lines get no full stop.
    struct ConfigLine
    {
        bool debug;
        QString text;
    };
    using ConfigLines = QVector<ConfigLine>;
    // What dumpSystemConfig logs, for a caller that asks the driver on a
    // thread of its own: the contexts are made on the calling thread, over
    // surfaces that the GUI thread made (card format, then requested format);
    // without them, surfaces are made here, which only the GUI thread may do.
    static ConfigLines systemConfigLines(QOffscreenSurface *cardSurface = nullptr,
                                         QOffscreenSurface *requestedSurface = nullptr);
    static void logConfigLines(const ConfigLines &lines);
    static bool compileFragmentShader(const QString &source, QStringList &report);
    static void compileAllShaders(QStringList &report);

    // The source line a compiler log names first, or 0 when it names none.
    static int errorLine(const QString &compilerLog);

private:
    void releaseSpareContext();
    static void describeOpenGLConfig(const QSurfaceFormat &format, QOffscreenSurface *surface, ConfigLines &lines);
    static bool describeGlString(unsigned int name, QOpenGLFunctions *functions, const char *format, ConfigLines &lines);

    bool initialized = false;
    QOpenGLContext *m_spareContext = nullptr;
    QOffscreenSurface *m_spareSurface = nullptr;
    int m_maxTextureImageUnits = 0;
    int m_maxTextureSize = 0;
};
