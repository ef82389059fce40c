#include "mfuzzreaders.h"

#include "mbrush.h"
#include "mbrushstream.h"
#include "mdocumentdescription.h"
#include "mdocumentfile.h"
#include "mfield.h"
#include "mlayerdescription.h"
#include "moptionslanguage.h"
#include "mparamslanguage.h"
#include "mshader.h"
#include "mshaderstream.h"
#include "mtexture.h"
#include "mutility.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

QStringList MFuzzReaders::names()
{
    return {QStringLiteral("document"), QStringLiteral("layer"),  QStringLiteral("brush"),
            QStringLiteral("effect"),   QStringLiteral("params"), QStringLiteral("options")};
}

namespace {
template <typename Scanner, typename Parser>
int parseLanguage(const QByteArray &bytes)
{
    Scanner scanner(QString::fromUtf8(bytes));
    Parser parser(&scanner);
    parser.parse();
    return parser.errors().count() == 0 ? 0 : 1;
}
} // namespace

int MFuzzReaders::read(const QString &reader, const QByteArray &bytes)
{
    if (reader == QLatin1String("document") || reader == QLatin1String("layer")) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        if (reader == QLatin1String("layer")) {
            MLayerDescription layer;
            return parseLayerFile(&buffer, layer);
        }
        MDocumentDescription document;
        return parseDocumentFile(&buffer, document);
    }
    if (reader == QLatin1String("brush")) {
        MBrush brush;
        return MBrushStream(&brush).loadFromJson(bytes, QStringLiteral("fuzz.kxb")) ? 0 : 1;
    }
    if (reader == QLatin1String("effect")) {
        // The file, then what loading an effect goes on to do with its
        // source: the sections, both languages and the GLSL assembly.
        MShader shader;
        if (!MShaderStream(&shader).loadFromJson(bytes, QStringLiteral("fuzz.kxs")))
            return 1;
        if (!shader.parseParams())
            return 2;
        bool ok = false;
        shader.buildFragmentSource(&ok);
        return ok ? 0 : 3;
    }
    if (reader == QLatin1String("params"))
        return parseLanguage<params::Scanner, params::Parser>(bytes);
    if (reader == QLatin1String("options"))
        return parseLanguage<options::Scanner, options::Parser>(bytes);
    return -1;
}

void MFuzzReaders::quietLog()
{
    static QTemporaryDir home;
    static bool moved = false;
    if (!moved) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        moved = true;
    }
    QFile log(MUtility::userDataPath() + QStringLiteral("vantor.log"));
    if (log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        log.close();
}
