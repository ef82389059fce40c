#include "mtesteffectsources.h"

#include "mshader.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
QString folder()
{
    return QStringLiteral(KALMI_TEST_DATA_DIR "/effects/");
}
} // namespace

QString MTestEffectSources::source(const QString &name)
{
    QFile file(folder() + name + QStringLiteral(".kfx"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString MTestEffectSources::goldenPath(const QString &name, int type)
{
    return folder() + (type == MShader::EffectShader ? QStringLiteral("effect-") : QStringLiteral("brush-")) + name
        + QStringLiteral(".frag");
}

void MTestEffectSources::addRows()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("source");
    const QStringList files = QDir(folder()).entryList({QStringLiteral("*.kfx")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 4);
    for (const QString &file : files) {
        const QString name = file.chopped(4);
        for (const int type : {int(MShader::EffectShader), int(MShader::BrushShader)}) {
            const QString row = (type == MShader::EffectShader ? QStringLiteral("effect, ") : QStringLiteral("brush engine, ")) + name;
            QTest::newRow(qPrintable(row)) << name << type << source(name);
        }
    }
}
