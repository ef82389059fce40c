#include "mapplication.h"

#include "mlogcategory.h"
#include "mbrushinputinfolist.h"
#include "mbrushlist.h"
#include "mbrushsettinginfolist.h"
#include "mcachefolder.h"
#include "mdocumenttemplatelist.h"
#include "mfilelock.h"
#include "mhandedfiles.h"
#include "mlogger.h"
#include "mmainwindow.h"
#include "mmath.h"
#include "mmousefunctions.h"
#include "mopengl.h"
#include "mpalettelist.h"
#include "mpathvarlist.h"
#include "mpatternlist.h"
#include "mplatform.h"
#include "mrandom.h"
#include "msettings.h"
#include "msettingsformat.h"
#include "mshaderlist.h"
#include "mshapelist.h"
#include "msingleinstance.h"
#include "msnippetlist.h"
#include "mtablet.h"
#include "mtextstylelist.h"
#include "mtexturetransfert.h"
#include "mutility.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QSplashScreen>
#include <QSurfaceFormat>
#include <QTabletEvent>
#include <QTime>
#include <QTimer>
#include <QTranslator>

#include <memory>

namespace {
const QString kInstanceKey = QStringLiteral("com.vantorel.kalmidraw");
const QString kStartupMutex = QStringLiteral("{E28548C0-40FA-45E3-B5AA-856CDD0D68C2}");
// How long a start waits for the program holding the lock to listen.
constexpr int kClaimTimeoutMs = 10000;
} // namespace

MApplication::MApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setInstance(this);
    m_splash = new QSplashScreen(QPixmap(QStringLiteral(":/icons/logo/splash.png")));
    setOrganizationName(QStringLiteral("Vantorel"));
    setOrganizationDomain(QStringLiteral("vantorel.com"));
    setApplicationName(QStringLiteral("KalmiDraw"));
    // Before anything reads or writes a setting.
    MSettingsFormat::install();
    m_splash->show();
    processEvents();
}

MApplication::~MApplication()
{
    delete m_splash;
    m_splash = nullptr;
    if (existingInstance() == this)
        setInstance(nullptr);
}

int MApplication::runMain(int &argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    // The views ask for multisampling themselves. As the default, every
    // other context (the shared one, the document's, the window's) would get
    // a multisampled drawable it never draws to, which costs tens of
    // milliseconds each to make on a software driver.
    QSurfaceFormat format = MOpenGL::requestedFormat();
    format.setSamples(0);
    QSurfaceFormat::setDefaultFormat(format);

    // A restart inside the process keeps the log of the earlier runs, and the
    // lock that made this process the program.
    bool sessionStarted = false;
    std::unique_ptr<MFileLock> instanceLock;
    for (;;) {
        auto *app = new MApplication(argc, argv);
        auto *guard = new MSingleInstance();

        if (!instanceLock) {
            // Decided before anything else starts: the file this start was
            // asked to open goes to the program when it is not this one.
            QStringList hello{QStringLiteral("hello")};
            const QStringList args = QCoreApplication::arguments();
            if (args.size() > 1 && !args.at(1).isEmpty())
                hello.append(QFileInfo(args.at(1)).absoluteFilePath());
            instanceLock = std::make_unique<MFileLock>(MSingleInstance::lockPath(kInstanceKey));
            const MSingleInstance::Claim claim = MSingleInstance::claim(*instanceLock, kInstanceKey, hello, kClaimTimeoutMs);
            if (claim != MSingleInstance::Program) {
                MLogger::instance()->log(claim == MSingleInstance::HandedOver
                                             ? QStringLiteral("Only one instance at a time!")
                                             : QStringLiteral("Another copy runs but did not answer within %1 s: "
                                                              "this start ends")
                                                   .arg(kClaimTimeoutMs / 1000));
                delete guard;
                delete app;
                return claim == MSingleInstance::HandedOver ? 0 : 1;
            }
        }
        if (!sessionStarted) {
            MLogger::instance()->startSession();
            sessionStarted = true;
        }
        // At once, so that later starts hand over instead of waiting for the window.
        guard->listen(kInstanceKey);

        if (!app->init(guard)) {
            app->cleanup();
            guard->close();
            delete guard;
            delete app;
            return 0;
        }

        const int result = app->exec();
        app->cleanup();
        guard->close();
        delete guard;
        delete app;
        if (result != RestartExitCode)
            return result;
    }
}

void MApplication::showSplashMessage(const QString &message)
{
    if (m_splash)
        m_splash->showMessage(message, Qt::AlignLeft | Qt::AlignBottom, Qt::black);
}

bool MApplication::init(MSingleInstance *guard)
{
    MPlatform::createStartupMutex(kStartupMutex);
    if (guard) {
        connect(guard, &MSingleInstance::newInstance, this, &MApplication::raiseWindow);
        connect(guard, &MSingleInstance::messageReceived, this, &MApplication::openHandedFile);
    }
    MRandom::seed(unsigned(QTime::currentTime().msec()));

    MSettings::instance();
    loadTranslation(QStringLiteral("kalmi"));
    loadTranslation(QStringLiteral("qt"));
    showSplashMessage(QApplication::translate("QApplication", "translation loaded..."));

    MTablet::instance();
    MMath::instance();
    MBrushSettingInfoList::instance();
    MBrushInputInfoList::instance();
    MOpenGL::instance();
    showSplashMessage(QApplication::translate("QApplication", "effects loaded: %1").arg(MShaderList::instance()->rowCount()));
    showSplashMessage(QApplication::translate("QApplication", "brushes loaded: %1").arg(MBrushList::instance()->rowCount()));
    showSplashMessage(QApplication::translate("QApplication", "shapes loaded: %1").arg(MShapeList::instance()->rowCount()));
    showSplashMessage(QApplication::translate("QApplication", "palettes loaded: %1").arg(MPaletteList::instance()->count()));
    showSplashMessage(QApplication::translate("QApplication", "patterns loaded: %1").arg(MPatternList::instance()->rowCount()));
    MMouseFunctions::instance();
    showSplashMessage(QApplication::translate("QApplication", "document templates loaded: %1")
                          .arg(MDocumentTemplateList::instance()->rowCount()));
    MTextStyleList::instance();
    MPathVarList::instance();
    if (!MTextureTransfert::existingInstance())
        MTextureTransfert::setInstance(new MTextureTransfert(512, 6, 4, nullptr));
    showSplashMessage(QApplication::translate("QApplication", "code fragments loaded: %1").arg(MSnippetList::instance()->rowCount()));

    MSettings::instance()->set_undoMemorySize(0.0);
    // Another running copy's files stay: only what no running copy owns goes.
    MCacheFolder::clear(false);

    if (!MOpenGL::instance()->initialize()) {
        MUtility::showMessage(QMessageBox::Critical, QStringLiteral("KalmiDraw"),
                              tr("Can't run KalmiDraw: your graphic card driver is not supported."), QMessageBox::Ok);
        return false;
    }

    m_mainWindow = new MMainWindow();
    m_mainWindow->installEventFilter(MTablet::instance());

    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1 && QFile::exists(args.at(1))) {
        MSettings::instance()->set_startupFile(args.at(1));
    } else if (args.size() > 1 && !args.at(1).isEmpty()) {
        // Not kept in the settings, where it would come back at every start;
        // the painter is told once the window is up.
        const QString missing = args.at(1);
        MMainWindow *window = m_mainWindow;
        QTimer::singleShot(0, window, [window, missing]() {
            if (window->isVisible())
                window->openFile(missing);
        });
    }

    m_handedFiles = new MHandedFiles(m_mainWindow);
    if (!m_pendingHandedFile.isEmpty())
        m_handedFiles->open(m_pendingHandedFile);
    m_pendingHandedFile.clear();

    m_mainWindow->show();
    if (m_splash) {
        // Its wait for the window processes events for as long as they come,
        // the view's first zoom among them: wait in the event loop instead, so
        // that the start ends at the window.
        QSplashScreen *splash = m_splash;
        QPointer<MMainWindow> window = m_mainWindow;
        QTimer::singleShot(0, splash, [splash, window]() {
            if (window && window->isVisible())
                splash->finish(window);
            else
                splash->close();
        });
    }
    return true;
}

void MApplication::cleanup()
{
    delete m_mainWindow;
    m_mainWindow = nullptr;
    m_handedFiles = nullptr;
    MCacheFolder::clear(true);

    MSnippetList::destroyInstance();
    MTextureTransfert::destroyInstance();
    MPathVarList::destroyInstance();
    MTextStyleList::destroyInstance();
    MDocumentTemplateList::destroyInstance();
    MMouseFunctions::destroyInstance();
    MPatternList::destroyInstance();
    MPaletteList::destroyInstance();
    MBrushList::destroyInstance();
    MShaderList::destroyInstance();
    MOpenGL::destroyInstance();
    MBrushInputInfoList::destroyInstance();
    MBrushSettingInfoList::destroyInstance();
    MMath::destroyInstance();
    MTablet::destroyInstance();
    MSettings::destroyInstance();
}

void MApplication::loadTranslation(const QString &prefix)
{
    auto *translator = new QTranslator(this);
    const QString lang = MUtility::safeLanguageId(MSettings::instance()->userLangId());
    const QString name = QStringLiteral("%1_%2").arg(prefix.toLower(), lang);
    const QString path = MUtility::translationsDirectory() + name + QStringLiteral(".qm");
    if (!QFile::exists(path))
        qCDebug(lcApp).noquote() << QStringLiteral("%1::%2").arg(QStringLiteral("mapplication"), QStringLiteral("MApplication::loadTranslation"))
                           << "error file not found" << path;
    const QString kind = prefix == QLatin1String("qt") ? QStringLiteral("framework") : QStringLiteral("application");
    if (translator->load(QLocale(lang), path, QString(), QString(), QString())) {
        installTranslator(translator);
        MLogger::instance()->log(QStringLiteral("%1 translation loaded, langId = %2").arg(kind, lang));
    } else {
        MLogger::instance()->log(QStringLiteral("Error loading %1 translation, langId = %2, path = %3")
                                     .arg(kind, lang, MUtility::translationsDirectory()));
    }
}

void MApplication::openHandedFile(const QStringList &lines)
{
    if (lines.size() < 2 || lines.first() != QLatin1String("hello") || lines.at(1).isEmpty())
        return;
    MLogger::instance()->log(QStringLiteral("File handed over by another start: %1").arg(lines.at(1)));
    // A start may hand its file over while this one is still starting.
    if (!m_handedFiles) {
        m_pendingHandedFile = lines.at(1);
        return;
    }
    m_handedFiles->open(lines.at(1));
}

void MApplication::raiseWindow()
{
    if (!m_mainWindow)
        return;
    m_mainWindow->raise();
    m_mainWindow->showMaximized();
    m_mainWindow->activateWindow();
}

bool MApplication::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::FileOpen:
        return true;
    case QEvent::TabletEnterProximity:
    case QEvent::TabletLeaveProximity: {
        // Pen 1, cursor 2, eraser 3, anything else 0: the framework's own numbering.
        const int device = int(static_cast<QTabletEvent *>(e)->pointerType());
        MTablet::instance()->set_proximityDevice(device);
        return false;
    }
    default:
        return QApplication::event(e);
    }
}
