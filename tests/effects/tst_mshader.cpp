#include "mfield.h"
#include "mfolders.h"
#include "mparamlist.h"
#include "mshader.h"
#include "mtesteffectsources.h"
#include "mtestfolder.h"
#include "mtexture.h"
#include "mutility.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {
// Frames of the fragment, standing for the lines of the header and footer
// resources in the expected files.
const QString kHeaderMark = QStringLiteral("#frame header");
const QString kFooterMark = QStringLiteral("#frame footer");

// The lines of a frame resource, whatever its line ends.
QStringList frameLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("missing frame ") + path};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QRegularExpression(QStringLiteral("\\r\\n|\\n")));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The expected fragment: the golden file with its frame marks replaced by
// the frame of the shader's type.
QString expectedFragment(const QString &name, int type)
{
    QString golden;
    if (!MUtility::readTextFile(golden, MTestEffectSources::goldenPath(name, type)))
        return QStringLiteral("missing golden file ") + MTestEffectSources::goldenPath(name, type);
    const QString kind = type == MShader::EffectShader ? QStringLiteral("effect") : QStringLiteral("brush");
    QStringList lines;
    for (const QString &line : golden.split(QLatin1Char('\n'))) {
        if (line == kHeaderMark)
            lines << frameLines(QStringLiteral(":/shaders/std_%1_header_frag.glsl").arg(kind));
        else if (line == kFooterMark)
            lines << frameLines(QStringLiteral(":/shaders/std_%1_footer_frag.glsl").arg(kind));
        else
            lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

QString describe(const MField *field)
{
    return QStringLiteral("%1:%2=%3").arg(QString::fromUtf8(field->name()), QString::fromLatin1(QMetaType::typeName(field->type())),
                                          field->value().toString());
}

QStringList describeParams(const MShader &shader)
{
    QStringList list;
    for (int i = 0; i < shader.paramCount(); ++i)
        list << describe(shader.paramAt(i));
    return list;
}

QStringList textureNames(const MShader &shader)
{
    QStringList names;
    for (int i = 0; i < shader.textureCount(); ++i)
        names << QString::fromUtf8(shader.texture(i)->name());
    return names;
}

} // namespace

class TestMShader : public QObject
{
    Q_OBJECT

private slots:
    void newShader()
    {
        MShader shader;
        QVERIFY(MParamList::isItemId(shader.id()));
        QCOMPARE(shader.id(), shader.id().toUpper());
        QVERIFY(shader.id() != MShader().id());
        QCOMPARE(shader.source(), QStringLiteral("@main"));
        QCOMPARE(shader.type(), int(MShader::EffectShader));
        QCOMPARE(shader.minFilter(), 0x2703); // GL_LINEAR_MIPMAP_LINEAR
        QCOMPARE(shader.magFilter(), 0x2601); // GL_LINEAR
        QCOMPARE(shader.wrapS(), 0x812F);     // GL_CLAMP_TO_EDGE
        QCOMPARE(shader.wrapT(), 0x812F);
        QVERIFY(!shader.isValid());
        QVERIFY(shader.texturesModified());
        // Without an image of its own it shows the shared one.
        QCOMPARE(shader.preview().size(), QSize(64, 64));
        QCOMPARE(shader.preview(), MShader::defaultPreview());
        QImage own(8, 8, QImage::Format_ARGB32);
        own.fill(Qt::red);
        shader.set_preview(own);
        QCOMPARE(shader.preview(), own);
    }

    void sections_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("one section") << "@main\nf_color = v_color;" << "main" << QStringList{"f_color = v_color;"};
        QTest::newRow("text before the first section belongs to none") << "a;\n@params\nb;" << "params" << QStringList{"b;"};
        QTest::newRow("a section ends at the next") << "@main\na;\n@functions\nb;" << "main" << QStringList{"a;"};
        QTest::newRow("names in any case") << "@MAIN\na;\n@Main\nb;" << "main" << QStringList{"a;", "b;"};
        QTest::newRow("requested name trimmed, any case") << "@main\na;" << " MAIN " << QStringList{"a;"};
        QTest::newRow("a repeated section is joined in order") << "@main\na;\n@params\nx;\n@main\nb;" << "main"
                                                               << QStringList{"a;", "b;"};
        QTest::newRow("an indented mark opens a section") << "  \t@main  \na;" << "main" << QStringList{"a;"};
        QTest::newRow("lines lose their indentation") << "@main\n    a;\n\tb;  " << "main" << QStringList{"a;", "b;"};
        QTest::newRow("empty lines are kept") << "@main\n\na;\n\n" << "main" << QStringList{"", "a;", "", ""};
        QTest::newRow("a final line break is an empty line") << "@main\n" << "main" << QStringList{""};
        QTest::newRow("a mark with nothing after it") << "@main" << "main" << QStringList();
        QTest::newRow("carriage returns go with the blanks") << "@main\r\na;\r\n\r\nb;" << "main"
                                                             << QStringList{"a;", "", "b;"};
        QTest::newRow("something after the name") << "@main // body\na;" << "main" << QStringList();
        QTest::newRow("a blank before the name") << "@ main\na;" << "main" << QStringList();
        QTest::newRow("a longer name") << "@mainly\na;" << "main" << QStringList();
        QTest::newRow("a lone @ closes the section") << "@main\na;\n@\nb;" << "main" << QStringList{"a;"};
        QTest::newRow("a lone @ opens the nameless section") << "@main\na;\n@\nb;" << "" << QStringList{"b;"};
        QTest::newRow("no such section") << "@main\na;" << "params" << QStringList();
    }

    void sections()
    {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(QStringList, lines);
        MShader shader;
        shader.set_source(source);
        QCOMPARE(shader.sectionLines(name), lines);
    }

    void compiledOncePerSource()
    {
        MShader shader;
        shader.set_source(QStringLiteral("@params\nfloat radius = 2;\n@main\n"));
        QVERIFY(shader.parseParams());
        MField *radius = shader.paramAt(0);
        QVERIFY(radius);
        QCOMPARE(shader.param("radius"), radius);
        // Compiled state is kept: the same objects, even through building.
        QVERIFY(shader.parseParams());
        bool ok = false;
        QVERIFY(!shader.buildFragmentSource(&ok).isEmpty());
        QVERIFY(ok);
        QCOMPARE(shader.paramAt(0), radius);
        // Setting the same text changes nothing.
        shader.set_source(shader.source());
        QVERIFY(shader.parseParams());
        QCOMPARE(shader.paramAt(0), radius);
        // Another text is compiled again.
        shader.set_source(QStringLiteral("@params\nfloat width = 3;\nfloat radius = 4;"));
        QVERIFY(shader.parseParams());
        QCOMPARE(describeParams(shader), (QStringList{"width:double=3", "radius:double=4"}));
        QCOMPARE(shader.param("radius"), shader.paramAt(1));
        QVERIFY(!shader.param("Radius"));
        QVERIFY(!shader.paramAt(2));
        QVERIFY(!shader.paramAt(-1));
    }

    void failedCompilationsKeepTheParameters_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("errorText");
        QTest::addColumn<QStringList>("params"); // after the failure
        QTest::newRow("parameter error") << "@params\nfloat x = ;" << "Errors during parameters compilation:\n"
                                         << QStringList{"old:double=1"};
        QTest::newRow("parameter error on a later line") << "@params\nint a;\n\nfloat b\nfloat c;"
                                                         << "Errors during parameters compilation:\n"
                                                         << QStringList{"old:double=1"};
        QTest::newRow("option error: the new parameters stay")
            << "@params\nint a = 2;\n@options\nmin filter = repeat;" << "Errors during options compilation:\n"
            << QStringList{"a:int=2"};
        QTest::newRow("option error replaces texture warnings")
            << "@params\ntexture t '/no/such/file.png';\n@options\nwraps = nearest;"
            << "Errors during options compilation:\n" << QStringList();
    }

    void failedCompilationsKeepTheParameters()
    {
        QFETCH(QString, source);
        QFETCH(QString, errorText);
        QFETCH(QStringList, params);
        MShader shader;
        shader.set_source(QStringLiteral("@params\nfloat old = 1;"));
        QVERIFY(shader.parseParams());
        shader.set_source(source);
        QVERIFY(!shader.parseParams());
        QVERIFY2(shader.errorText().startsWith(errorText), qPrintable(shader.errorText()));
        QVERIFY(shader.errorText().contains(QLatin1String("\n-- line ")));
        QVERIFY(!shader.errorText().contains(QLatin1String("Warning")));
        QCOMPARE(describeParams(shader), params);
        bool ok = true;
        QCOMPARE(shader.buildFragmentSource(&ok), QString());
        QVERIFY(!ok);
        // Still not compiled: every attempt compiles again, until the source is mended.
        QVERIFY(!shader.parseParams());
        shader.set_source(QStringLiteral("@params\nfloat mended = 2;"));
        QVERIFY(shader.parseParams());
        QCOMPARE(shader.errorText(), QString());
        QCOMPARE(describeParams(shader), QStringList{"mended:double=2"});
    }

    void errorLines()
    {
        MShader shader;
        shader.set_source(QStringLiteral("@params\nint a\nfloat b;"));
        QVERIFY(!shader.parseParams());
        QCOMPARE(shader.errorText(), QStringLiteral("Errors during parameters compilation:\n-- line 2 col 1: \";\" expected"));
        shader.set_source(QStringLiteral("@options\nmin filter = linear"));
        QVERIFY(!shader.parseParams());
        QCOMPARE(shader.errorText(), QStringLiteral("Errors during options compilation:\n-- line 1 col 20: \";\" expected"));
    }

    void userTextures()
    {
        MTestFolder folder;
        const QString present = folder.writeFile(QStringLiteral("wood.png"), "png");
        QDir().mkpath(folder.filePath(QStringLiteral("folder.png")));
        MShader shader;
        shader.set_source(QStringLiteral("@params\n"
                                         "texture a '%1';\n"
                                         "texture b '$INSTALLATIONPATH$/missing one.png' mag filter = nearest;\n"
                                         "texture c '%2';\n"
                                         "texture d '%3';\n")
                              .arg(present, folder.filePath(QStringLiteral("gone.png")),
                                   folder.filePath(QStringLiteral("folder.png"))));
        QVERIFY(shader.parseParams());
        QCOMPARE(textureNames(shader), (QStringList{"a", "b", "c", "d"}));
        QVERIFY(!shader.texture(4));
        QVERIFY(!shader.texture(-1));
        QCOMPARE(shader.texture(1)->magFilter(), 0);
        // Names stay as written, path variables and all; only the warnings expand them.
        QCOMPARE(shader.texture(1)->fileName(), QStringLiteral("$INSTALLATIONPATH$/missing one.png"));
        const QString warning = QStringLiteral("Warning: texture file doesn't exits: ");
        QCOMPARE(shader.errorText(), warning + QCoreApplication::applicationDirPath() + QStringLiteral("/missing one.png")
                                         + warning + folder.filePath(QStringLiteral("gone.png")) + warning
                                         + folder.filePath(QStringLiteral("folder.png")));
        QVERIFY(shader.texturesModified());

        // The engine clears the flag once it has loaded the images; a source
        // without textures compiles with the flag down.
        shader.setTexturesModified(false);
        QVERIFY(shader.parseParams());
        QVERIFY(!shader.texturesModified());
        shader.set_source(QStringLiteral("@params\nfloat x;"));
        QVERIFY(shader.parseParams());
        QCOMPARE(shader.textureCount(), 0);
        QVERIFY(!shader.texturesModified());
        QCOMPARE(shader.errorText(), QString());
    }

    void options_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QVector<int>>("values"); // min, mag, wrap s, wrap t
        QTest::newRow("none") << "" << QVector<int>{0x2703, 0x2601, 0x812F, 0x812F};
        QTest::newRow("nearest") << "min filter = nearest; mag filter = nearest;"
                                 << QVector<int>{0x2600, 0x2600, 0x812F, 0x812F};
        QTest::newRow("wraps") << "wraps = repeat; wrapt = mirroredrepeat;" << QVector<int>{0x2703, 0x2601, 0x2901, 0x8370};
        QTest::newRow("border and the wrap OpenGL 3.3 lacks") << "WRAPS = CLAMPTOBORDER; wrapt = mirrorclamptoedge;"
                                                              << QVector<int>{0x2703, 0x2601, 0x812D, 0x812F};
        QTest::newRow("the later option wins") << "min filter = nearestmipmapnearest; min filter = linearmipmapnearest;"
                                               << QVector<int>{0x2701, 0x2601, 0x812F, 0x812F};
    }

    void options()
    {
        QFETCH(QString, options);
        QFETCH(QVector<int>, values);
        MShader shader;
        shader.set_minFilter(0);
        shader.set_magFilter(0);
        shader.set_wrapS(0);
        shader.set_wrapT(0);
        QSignalSpy minSpy(&shader, &MShader::minFilterChanged);
        QSignalSpy wrapSpy(&shader, &MShader::wrapSChanged);
        shader.set_source(QStringLiteral("@options\n") + options);
        QVERIFY(shader.parseParams());
        QCOMPARE((QVector<int>{shader.minFilter(), shader.magFilter(), shader.wrapS(), shader.wrapT()}), values);
        // Compiling is no edit of the properties.
        QCOMPARE(minSpy.count(), 0);
        QCOMPARE(wrapSpy.count(), 0);
    }

    void sourceEditsNeedANewCompilation()
    {
        MShader shader;
        shader.setIsValid(true);
        QSignalSpy validSpy(&shader, &MShader::isValidChanged);
        QSignalSpy sourceSpy(&shader, &MShader::sourceChanged);
        shader.set_source(QStringLiteral("@main\nf_color = vec4(1.0);"));
        QVERIFY(!shader.isValid());
        QCOMPARE(validSpy.count(), 0);
        QCOMPARE(sourceSpy.count(), 1);
        shader.setIsValid(true);
        shader.set_source(shader.source());
        QVERIFY(shader.isValid());
        QCOMPARE(sourceSpy.count(), 1);
    }

    void resetStartsAfresh()
    {
        MShader shader;
        shader.set_source(QStringLiteral("@params\nfloat x;\ntexture t 'none';\n@options\nmin filter = nearest;"));
        QVERIFY(shader.parseParams());
        shader.set_group(QStringLiteral("g"));
        shader.set_description(QStringLiteral("d"));
        shader.set_type(MShader::BrushShader);
        shader.set_preview(QImage(4, 4, QImage::Format_ARGB32));
        shader.setIsValid(true);
        shader.setTexturesModified(false);
        const QString id = shader.id();
        QSignalSpy sourceSpy(&shader, &MShader::sourceChanged);
        QSignalSpy groupSpy(&shader, &MShader::groupChanged);
        QSignalSpy idSpy(&shader, &MShader::idChanged);
        QSignalSpy validSpy(&shader, &MShader::isValidChanged);

        shader.reset();
        QVERIFY(shader.id() != id);
        QVERIFY(MParamList::isItemId(shader.id()));
        QCOMPARE(shader.group(), QString());
        QCOMPARE(shader.description(), QString());
        QCOMPARE(shader.type(), int(MShader::EffectShader));
        QCOMPARE(shader.source(), QStringLiteral("@main"));
        QCOMPARE(shader.minFilter(), 0x2703);
        QCOMPARE(shader.paramCount(), 0);
        QCOMPARE(shader.textureCount(), 0);
        QVERIFY(!shader.isValid());
        QVERIFY(shader.texturesModified());
        QCOMPARE(shader.preview(), MShader::defaultPreview());
        QCOMPARE(sourceSpy.count(), 1);
        QCOMPARE(groupSpy.count() + idSpy.count() + validSpy.count(), 0);

        // A reset shader that already had the source "@main" still announces it.
        shader.reset();
        QCOMPARE(sourceSpy.count(), 2);
    }

    void copyTakesAllButTheId()
    {
        MShader original;
        original.set_group(QStringLiteral("color"));
        original.set_description(QStringLiteral("tint"));
        original.set_type(MShader::BrushShader);
        original.set_source(MTestEffectSources::source(QStringLiteral("everything")));
        QVERIFY(original.parseParams());
        original.setIsValid(true);
        QImage preview(4, 4, QImage::Format_ARGB32);
        preview.fill(Qt::green);
        original.set_preview(preview);

        MShader copy;
        copy.set_source(QStringLiteral("@params\ntexture old 'x';"));
        QVERIFY(copy.parseParams());
        const QString id = copy.id();
        copy.copy(&original);
        QCOMPARE(copy.id(), id);
        QCOMPARE(copy.group(), original.group());
        QCOMPARE(copy.description(), original.description());
        QCOMPARE(copy.type(), original.type());
        QCOMPARE(copy.source(), original.source());
        QCOMPARE(copy.magFilter(), original.magFilter());
        QCOMPARE(copy.preview(), preview);
        QVERIFY(copy.isValid());
        QCOMPARE(describeParams(copy), describeParams(original));
        for (int i = 0; i < copy.paramCount(); ++i)
            QVERIFY(copy.paramAt(i) != original.paramAt(i));
        QCOMPARE(copy.param("tint")->value().value<QColor>(), QColor(255, 128, 0));
        QCOMPARE(copy.param("mode")->label(), QStringLiteral("Mode"));
        // Its textures come back with the first use, as the original's.
        QCOMPARE(copy.textureCount(), 0);
        bool ok = false;
        QCOMPARE(copy.buildFragmentSource(&ok), original.buildFragmentSource(nullptr));
        QVERIFY(ok);
        QCOMPARE(textureNames(copy), textureNames(original));
        QVERIFY(copy.texturesModified());
    }

    void uniformTypes_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("uniform");
        QTest::newRow("float") << "float x = 1;" << "uniform float x;";
        QTest::newRow("float with a bool value") << "float x = true;" << "uniform float x;";
        QTest::newRow("int") << "int x = 1;" << "uniform int x;";
        QTest::newRow("bool") << "bool x = false;" << "uniform bool x;";
        QTest::newRow("color") << "color x = rgb(1, 2, 3);" << "uniform vec4 x;";
        QTest::newRow("enum") << "enum x enum values = 0 'a';" << "uniform int x;";
        QTest::newRow("keyword in capitals, name as written") << "FLOAT Radius;" << "uniform float Radius;";
        QTest::newRow("texture") << "texture Paper 'none';" << "uniform sampler2D Paper;";
    }

    void uniformTypes()
    {
        QFETCH(QString, declaration);
        QFETCH(QString, uniform);
        MShader shader;
        shader.set_source(QStringLiteral("@params\n") + declaration);
        bool ok = false;
        const QStringList lines = shader.buildFragmentSource(&ok).split(QLatin1Char('\n'));
        QVERIFY(ok);
        // Only the one declaration: the frames use none of these names.
        const QRegularExpression declared(QStringLiteral("^uniform \\S+ (x|Radius|Paper);$"));
        QCOMPARE(lines.filter(declared), QStringList{uniform});
    }

    void goldenFragments_data()
    {
        // Among them: a new source, one using every parameter type and as many
        // user textures as allowed, an empty main (the default body) and a
        // main of one empty line (a lone tab).
        MTestEffectSources::addRows();
    }

    void goldenFragments()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(QString, source);
        MShader shader;
        shader.set_type(type);
        shader.set_source(source);
        bool ok = false;
        const QString fragment = shader.buildFragmentSource(&ok);
        QVERIFY(ok);
        const QString expected = expectedFragment(name, type);
        if (fragment != expected) {
            const QStringList actualLines = fragment.split(QLatin1Char('\n'));
            const QStringList expectedLines = expected.split(QLatin1Char('\n'));
            for (int i = 0; i < qMax(actualLines.size(), expectedLines.size()); ++i)
                QCOMPARE(actualLines.value(i, QStringLiteral("<none>")), expectedLines.value(i, QStringLiteral("<none>")));
        }
        QCOMPARE(fragment, expected);
        QVERIFY(!fragment.endsWith(QLatin1Char('\n')));
    }

    void fileNameFollowsTheId_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name"); // empty: no file
        QTest::newRow("braced id") << "{6F9619FF-8B86-D011-B42D-00C04FC964FF}" << "{6f9619ff-8b86-d011-b42d-00c04fc964ff}.kxs";
        QTest::newRow("climbing out") << "../../x" << "";
        QTest::newRow("absolute") << "/tmp/x" << "";
        QTest::newRow("empty") << "" << "";
    }

    void fileNameFollowsTheId()
    {
        QFETCH(QString, id);
        QFETCH(QString, name);
        MShader shader;
        shader.set_id(id);
        QCOMPARE(shader.fileName(), name.isEmpty() ? QString() : MFolders::shadersDirectory(MFolders::UserPath) + name);
        if (name.isEmpty()) {
            QVERIFY(!shader.save());
            QVERIFY(!shader.load());
        }
    }
};

QTEST_GUILESS_MAIN(TestMShader)
#include "tst_mshader.moc"
