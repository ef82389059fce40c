// The texture declaration dialog: what it writes compiles to the options chosen.

#include "dtextureparam.h"
#include "mparamslanguage.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestmodaldriver.h"
#include "mtexture.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {
struct Parsed
{
    QString name;
    QString file;
    QList<int> options; // min, mag, wrap s, wrap t
    QStringList errors;
};

Parsed parse(const QString &declaration)
{
    params::Scanner scanner(declaration);
    params::Parser parser(&scanner);
    parser.parse();
    Parsed parsed;
    parsed.errors = parser.errors().lines();
    if (parser.textures().size() == 1) {
        const MTexture *texture = parser.textures().at(0);
        parsed.name = QString::fromUtf8(texture->name());
        parsed.file = texture->fileName();
        parsed.options = {texture->minFilter(), texture->magFilter(), texture->wrapS(), texture->wrapT()};
    }
    return parsed;
}

template <class T>
T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}
} // namespace

class TestTextureParam : public QObject
{
    Q_OBJECT

private slots:
    void everyOptionCombinationCompiles()
    {
        // Indices of the option language, in its keyword order.
        const QStringList filters{"Nearest", "Linear", "NearestMipMapNearest", "NearestMipMapLinear",
                                  "LinearMipMapNearest", "LinearMipMapLinear"};
        const QStringList wraps{"Repeat", "MirroredRepeat", "ClampToEdge", "ClampToBorder", "MirrorClampToEdge"};
        DTextureParam dialog;
        child<QLineEdit>(&dialog, "nameEdit")->setText(QStringLiteral("grain"));
        child<QLineEdit>(&dialog, "fileNameEdit")->setText(QStringLiteral("$ImagesPath$/grain.png"));
        auto *minFilter = child<QComboBox>(&dialog, "minFilterEdit");
        auto *magFilter = child<QComboBox>(&dialog, "magFilterEdit");
        auto *wrapS = child<QComboBox>(&dialog, "wrapSEdit");
        auto *wrapT = child<QComboBox>(&dialog, "wrapTEdit");
        QCOMPARE(minFilter->count(), 6);
        QCOMPARE(magFilter->count(), 2);
        QCOMPARE(wrapS->count(), 5);
        QCOMPARE(wrapT->count(), 5);
        int combinations = 0;
        for (int a = 0; a < minFilter->count(); ++a) {
            for (int b = 0; b < magFilter->count(); ++b) {
                for (int c = 0; c < wrapS->count(); ++c) {
                    for (int d = 0; d < wrapT->count(); ++d) {
                        minFilter->setCurrentIndex(a);
                        magFilter->setCurrentIndex(b);
                        wrapS->setCurrentIndex(c);
                        wrapT->setCurrentIndex(d);
                        const QString declaration = dialog.declaration();
                        const Parsed parsed = parse(declaration);
                        QVERIFY2(parsed.errors.isEmpty(), qPrintable(declaration));
                        const QList<int> expected{filters.indexOf(minFilter->currentData().toString()),
                                                  filters.indexOf(magFilter->currentData().toString()),
                                                  wraps.indexOf(wrapS->currentData().toString()),
                                                  wraps.indexOf(wrapT->currentData().toString())};
                        QVERIFY(!expected.contains(-1));
                        QCOMPARE(parsed.options, expected);
                        QCOMPARE(parsed.name, QStringLiteral("grain"));
                        QCOMPARE(parsed.file, QStringLiteral("$ImagesPath$/grain.png"));
                        ++combinations;
                    }
                }
            }
        }
        QCOMPARE(combinations, 300);
    }

    void defaultDeclaration()
    {
        DTextureParam dialog;
        child<QLineEdit>(&dialog, "nameEdit")->setText(QStringLiteral("  v "));
        child<QLineEdit>(&dialog, "fileNameEdit")->setText(QStringLiteral(" f  "));
        QCOMPARE(dialog.declaration(),
                 QStringLiteral("texture v \"f\" wraps = ClampToEdge wrapt = ClampToEdge min filter = LinearMipMapLinear "
                                "mag filter = Linear;"));
    }

    void nameEditTakesIdentifiersOnly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("identifier") << "_grain2" << "_grain2";
        QTest::newRow("leading digit") << "2abc" << "abc";
        QTest::newRow("signs and blanks") << "a b-c.d" << "abcd";
    }
    void nameEditTakesIdentifiersOnly()
    {
        QFETCH(QString, typed);
        DTextureParam dialog;
        auto *name = child<QLineEdit>(&dialog, "nameEdit");
        QTest::keyClicks(name, typed);
        QTEST(name->text(), "kept");
    }

    void variableMenuAppends()
    {
        DTextureParam dialog;
        auto *file = child<QLineEdit>(&dialog, "fileNameEdit");
        file->setText(QStringLiteral("textures/"));
        file->setCursorPosition(0);
        QMenu *menu = child<QToolButton>(&dialog, "varBtn")->menu();
        QAction *installation = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->text() == QLatin1String("Installation path"))
                installation = action;
        }
        QVERIFY(installation);
        installation->trigger();
        QCOMPARE(file->text(), QStringLiteral("textures/$InstallationPath$"));
    }

    void okRefusesIncompleteInput_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message"); // empty when accepted
        QTest::newRow("no name") << "  " << "f.png" << "Please, enter a variable name.";
        QTest::newRow("no file") << "v" << "  " << "Please, enter a file name.";
        QTest::newRow("double quote") << "v" << "a\"b.png" << "A file name cannot contain a double quote.";
        QTest::newRow("complete") << "v" << "f.png" << "";
    }
    void okRefusesIncompleteInput()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QFETCH(QString, message);
        DTextureParam dialog;
        child<QLineEdit>(&dialog, "nameEdit")->setText(name);
        child<QLineEdit>(&dialog, "fileNameEdit")->setText(file);
        dialog.show();
        MTestDialogScript script;
        QTest::mouseClick(child<QPushButton>(&dialog, "okBtn"), Qt::LeftButton);
        QCOMPARE(dialog.isVisible(), !message.isEmpty());
        QCOMPARE(script.requests().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(script.requests().at(0).text, message);
        else
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void cancelAndCloseReject()
    {
        for (bool button : {true, false}) {
            DTextureParam dialog;
            child<QLineEdit>(&dialog, "nameEdit")->setText(QStringLiteral("v"));
            child<QLineEdit>(&dialog, "fileNameEdit")->setText(QStringLiteral("f"));
            MTestModalDriver::onNextDialog("DTextureParam", [button](QDialog *shown) {
                if (button)
                    QTest::mouseClick(child<QPushButton>(shown, "cancelBtn"), Qt::LeftButton);
                else
                    shown->close();
            });
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        }
    }

    void fileButtonTakesTheChosenFile()
    {
        MTestDialogScript script;
        const QString image = QStringLiteral(KALMI_TEST_DATA_DIR) + QStringLiteral("/effects/default.kfx");
        script.answerFile(image);
        DTextureParam dialog;
        QTest::mouseClick(child<QToolButton>(&dialog, "fileNameBtn"), Qt::LeftButton);
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().at(0).title, QStringLiteral("Texture"));
        QCOMPARE(child<QLineEdit>(&dialog, "fileNameEdit")->text(), QFileInfo(image).canonicalFilePath());
        QCOMPARE(MSettings::instance()->lastFilesDir(), QFileInfo(image).absolutePath());
    }
};

QTEST_MAIN(TestTextureParam)
#include "tst_dtextureparam.moc"
