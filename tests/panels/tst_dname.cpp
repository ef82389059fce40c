// The name dialogs: what they offer, what they hand back and what they refuse.

#include "dbrushname.h"
#include "dshadername.h"
#include "mbrushlist.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"

#include <QComboBox>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
QStringList items(const DName &dialog)
{
    const auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("editGroup"));
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

QString currentGroup(const DName &dialog)
{
    return dialog.findChild<QComboBox *>(QStringLiteral("editGroup"))->currentText();
}

// Libraries on temporary folders: brushes and effects of both types, with
// groups that differ only by case and blanks.
struct Libraries
{
    MTestFolder root;

    Libraries()
    {
        for (const char *folder : {"brushes/system", "brushes/user", "shaders/system", "shaders/user"})
            QDir().mkpath(root.filePath(QLatin1String(folder)));
        int n = 0;
        const QList<QPair<int, QString>> shaders{{MShader::EffectShader, "Color"},
                                                 {MShader::EffectShader, " blur "},
                                                 {MShader::EffectShader, "color"},
                                                 {MShader::BrushShader, "Grain"},
                                                 {MShader::BrushShader, "wet"}};
        for (const auto &shader : shaders) {
            const QString id = QStringLiteral("{00000000-0000-4000-8000-%1}").arg(++n, 12, 10, QLatin1Char('0'));
            const QJsonObject json{{"id", id},
                                   {"group", shader.second},
                                   {"description", QStringLiteral("entry %1").arg(n)},
                                   {"source", QString::fromLatin1(QByteArray("@main").toBase64())},
                                   {"type", shader.first}};
            root.writeFile(QStringLiteral("shaders/system/") + id.toLower() + ".kxs", QJsonDocument(json).toJson());
        }
        MShaderList::destroyInstance();
        MShaderList::setInstance(
            new MShaderList(root.filePath(QStringLiteral("shaders/system")), root.filePath(QStringLiteral("shaders/user"))));
        MBrushList::destroyInstance();
        auto *brushes =
            new MBrushList(root.filePath(QStringLiteral("brushes/system")), root.filePath(QStringLiteral("brushes/user")));
        MBrushList::setInstance(brushes);
        // The library starts with its default brush, in group "basic".
        brushes->createBrushNamed(QStringLiteral("Inks"), QStringLiteral("pen"));
        brushes->createBrushNamed(QStringLiteral(" inks"), QStringLiteral("nib"));
        brushes->createBrushNamed(QStringLiteral("Pencils"), QStringLiteral("hb"));
    }
    ~Libraries()
    {
        MShaderList::destroyInstance();
        MBrushList::destroyInstance();
    }
};
} // namespace

class TestDName : public QObject
{
    Q_OBJECT

private slots:
    void offersTheGroupsOfItsLibrary_data()
    {
        QTest::addColumn<int>("kind"); // -1 brush, else the effect type
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("brushes") << -1 << QStringList{"basic", "inks", "pencils"};
        QTest::newRow("effects") << int(MShader::EffectShader) << QStringList{"blur", "color"};
        QTest::newRow("brush engines") << int(MShader::BrushShader) << QStringList{"grain", "wet"};
    }
    void offersTheGroupsOfItsLibrary()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, groups);
        Libraries libraries;
        std::unique_ptr<DName> dialog;
        if (kind < 0)
            dialog.reset(new DBrushName(QStringLiteral(" My Group "), QStringLiteral("x")));
        else
            dialog.reset(new DShaderName(kind, QStringLiteral(" My Group "), QStringLiteral("x")));
        QCOMPARE(items(*dialog), groups);
        // The proposed group stays shown even though no entry has it.
        QCOMPARE(currentGroup(*dialog), QStringLiteral("my group"));
    }

    void okReturnsTrimmedLowerCaseNamesOrAsks_data()
    {
        QTest::addColumn<QString>("proposedGroup");
        QTest::addColumn<QString>("proposedDescription");
        QTest::addColumn<QString>("typedGroup");       // null: left as proposed
        QTest::addColumn<QString>("typedDescription"); // null: left as proposed
        QTest::addColumn<QString>("group");            // what comes back; empty when refused
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("message");
        QTest::newRow("proposal as it stands") << "  Inks " << "  Soft Round  " << QString() << QString() << "inks"
                                               << "soft round" << QString();
        QTest::newRow("a new group typed") << "inks" << "pen" << " Charcoal Sticks" << QString() << "charcoal sticks"
                                           << "pen" << QString();
        QTest::newRow("blank description") << "inks" << "pen" << QString() << "   " << QString() << QString()
                                           << "Please, enter a description.";
        QTest::newRow("blank group") << "inks" << "pen" << "  " << QString() << QString() << QString()
                                     << "Please, enter a group.";
        QTest::newRow("no group proposed: the first one offered") << "" << "pen" << QString() << QString() << "blur"
                                                                   << "pen" << QString();
        QTest::newRow("both blank: the group is asked first") << "inks" << "" << " " << QString() << QString()
                                                               << QString() << "Please, enter a group.";
    }
    void okReturnsTrimmedLowerCaseNamesOrAsks()
    {
        QFETCH(QString, proposedGroup);
        QFETCH(QString, proposedDescription);
        QFETCH(QString, typedGroup);
        QFETCH(QString, typedDescription);
        QFETCH(QString, group);
        QFETCH(QString, description);
        QFETCH(QString, message);
        Libraries libraries;
        MTestDialogScript script;
        DShaderName dialog(MShader::EffectShader, proposedGroup, proposedDescription);
        QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("editDescription"))->text(),
                 proposedDescription.trimmed().toLower());
        if (!typedGroup.isNull())
            dialog.findChild<QComboBox *>(QStringLiteral("editGroup"))->setCurrentText(typedGroup);
        if (!typedDescription.isNull())
            dialog.findChild<QLineEdit *>(QStringLiteral("editDescription"))->setText(typedDescription);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnOk")), Qt::LeftButton);
        if (message.isEmpty()) {
            QCOMPARE(accepted.count(), 1);
            QCOMPARE(script.requests().size(), 0);
            QCOMPARE(dialog.group(), group);
            QCOMPARE(dialog.description(), description);
        } else {
            QCOMPARE(accepted.count(), 0);
            QCOMPARE(script.requests().size(), 1);
            QCOMPARE(script.requests().at(0).text, message);
        }
    }

    void cancelRejects()
    {
        Libraries libraries;
        DBrushName dialog(QStringLiteral("inks"), QStringLiteral("pen"));
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnCancel")), Qt::LeftButton);
        QCOMPARE(rejected.count(), 1);
    }
};

QTEST_MAIN(TestDName)
#include "tst_dname.moc"
