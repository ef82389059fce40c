// The new-document dialog: what Create stores, and the template commands that
// keep its list and the template library in step.

#include "dnewdocument.h"
#include "mdocumenttemplate.h"
#include "mdocumenttemplatelist.h"
#include "menum.h"
#include "mfolders.h"
#include "mlogger.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestmodaldriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <memory>

class TestNewDocument : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MTestFolder> folder;
    QString userDir;

    // A library of the three templates, in a fresh user folder.
    MDocumentTemplateList *library()
    {
        MDocumentTemplateList::destroyInstance();
        QDir(userDir).removeRecursively();
        QDir().mkpath(userDir);
        const QList<QSize> sizes{{800, 600}, {1024, 768}, {1920, 1080}};
        for (const QSize &size : sizes) {
            MDocumentTemplate t;
            t.set_width(size.width());
            t.set_height(size.height());
            t.set_margin(size.width() / 100);
            t.set_autoExtent(size.width() == 1024);
            t.set_description(QStringLiteral("T %1").arg(size.width()));
            if (!t.save())
                return nullptr;
        }
        auto *list = new MDocumentTemplateList(folder->path() + QStringLiteral("system/"), userDir);
        MDocumentTemplateList::setInstance(list);
        return list;
    }

    static QStringList comboTexts(DNewDocument &dialog)
    {
        auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("cbTemplate"));
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        return texts;
    }

    static QStringList libraryTexts()
    {
        MDocumentTemplateList *list = MDocumentTemplateList::instance();
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->templateAt(row)->description();
        return texts;
    }

    template <class T>
    static T *child(DNewDocument &dialog, const char *name)
    {
        return dialog.findChild<T *>(QLatin1String(name));
    }

    // Answers the next template name question with the text.
    static void nameTemplate(const QString &name)
    {
        MTestModalDriver::onNextDialog("QInputDialog", [name](QDialog *dialog) {
            auto *input = qobject_cast<QInputDialog *>(dialog);
            input->setTextValue(name);
            input->accept();
        });
    }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        userDir = MFolders::templatesDirectory(MFolders::UserPath);
    }

    void init()
    {
        MSettings::instance()->clear();
        folder.reset(new MTestFolder);
        QVERIFY(library());
    }

    void cleanupTestCase() { MDocumentTemplateList::destroyInstance(); }

    void startsOnTheLastTemplate_data()
    {
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("selected");
        QTest::newRow("second") << 1 << 1;
        QTest::newRow("out of range") << 7 << 0;
        QTest::newRow("negative") << -2 << 0;
    }

    void startsOnTheLastTemplate()
    {
        QFETCH(int, last);
        QFETCH(int, selected);
        MSettings::instance()->setValue(QStringLiteral("lastDocumentTemplate"), last);
        DNewDocument dialog;
        QCOMPARE(comboTexts(dialog), QStringList({"T 800", "T 1024", "T 1920"}));
        QCOMPARE(child<QComboBox>(dialog, "cbTemplate")->currentIndex(), selected);
        const MDocumentTemplate *t = MDocumentTemplateList::instance()->templateAt(selected);
        QCOMPARE(child<QSpinBox>(dialog, "sbWidth")->value(), t->width());
        QCOMPARE(child<QSpinBox>(dialog, "sbHeight")->value(), t->height());
        QCOMPARE(child<QSpinBox>(dialog, "sbMargin")->value(), t->margin());
        QCOMPARE(child<QCheckBox>(dialog, "cbAutoExtent")->isChecked(), t->autoExtent());

        child<QComboBox>(dialog, "cbTemplate")->setCurrentIndex(2);
        QCOMPARE(child<QSpinBox>(dialog, "sbWidth")->value(), 1920);
    }

    // Create stores the values in the settings, and no other key.
    void createStoresTheValues()
    {
        MSettings *settings = MSettings::instance();
        DNewDocument dialog;
        child<QComboBox>(dialog, "cbTemplate")->setCurrentIndex(1);
        child<QSpinBox>(dialog, "sbWidth")->setValue(321);
        child<QSpinBox>(dialog, "sbMargin")->setValue(7);
        MTestDialogScript script;
        script.answerColor(QColor(1, 2, 3));
        child<QPushButton>(dialog, "btnEditColor")->click();
        QCOMPARE(child<QComboBox>(dialog, "cbPaperType")->currentData().toInt(), int(MEnum::Colored));
        const QStringList before = settings->allKeys();
        child<QPushButton>(dialog, "btnCreate")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(settings->defaultWidth(), 321);
        QCOMPARE(settings->defaultHeight(), 768);
        QCOMPARE(settings->paintMargin(), 7);
        QCOMPARE(settings->autoExtent(), true);
        QCOMPARE(settings->paperType(), int(MEnum::Colored));
        QCOMPARE(settings->paperColor(), QColor(1, 2, 3));
        QCOMPARE(settings->value("lastDocumentTemplate").toInt(), 1);
        QSet<QString> added;
        for (const QString &key : settings->allKeys())
            if (!before.contains(key))
                added.insert(key);
        const QSet<QString> allowed{"paperType", "paperName", "paperColor", "defaultWidth", "defaultHeight",
                                    "autoExtent", "paintMargin", "lastDocumentTemplate"};
        QVERIFY2((added - allowed).isEmpty(), qPrintable(QStringList((added - allowed).values()).join(",")));
        QCOMPARE(script.requests().size(), 1);
    }

    // A paper image must be in the user papers folder, under its own name.
    void paperFileIsChecked_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("capitals") << "Grain-Big.PNG" << "Grain-Big.PNG" << true;
        QTest::newRow("missing") << "" << "nothing.png" << false;
        QTest::newRow("empty") << "" << "  " << false;
    }

    void paperFileIsChecked()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        const QString papers = MFolders::papersDirectory(MFolders::UserPath);
        if (!file.isEmpty()) {
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(Qt::gray);
            QVERIFY(image.save(papers + file, "PNG"));
        }
        DNewDocument dialog;
        auto *type = child<QComboBox>(dialog, "cbPaperType");
        type->setCurrentIndex(type->findData(int(MEnum::Paper)));
        child<QLineEdit>(dialog, "editPaperName")->setText(name);
        MTestDialogScript script;
        child<QPushButton>(dialog, "btnCreate")->click();
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        if (accepted) {
            QCOMPARE(MSettings::instance()->paperName(), file);
            QCOMPARE(MSettings::instance()->paperType(), int(MEnum::Paper));
        } else {
            QCOMPARE(script.requests().size(), 1);
            QCOMPARE(script.requests().first().text, QStringLiteral("Please choose a valid paper name."));
        }
        if (!file.isEmpty())
            QFile::remove(papers + file);
    }

    // Save as adds the template to the library and the list and stays on it.
    void saveAsSelectsTheNewTemplate()
    {
        DNewDocument dialog;
        child<QSpinBox>(dialog, "sbWidth")->setValue(500);
        child<QSpinBox>(dialog, "sbHeight")->setValue(400);
        nameTemplate(QStringLiteral("  Mine  "));
        child<QPushButton>(dialog, "btnSaveAs")->click();
        QCOMPARE(comboTexts(dialog), libraryTexts());
        QCOMPARE(comboTexts(dialog).last(), QStringLiteral("Mine"));
        auto *combo = child<QComboBox>(dialog, "cbTemplate");
        QCOMPARE(combo->currentText(), QStringLiteral("Mine"));
        MDocumentTemplate *t = MDocumentTemplateList::instance()->templateAt(combo->currentIndex());
        QCOMPARE(QSize(t->width(), t->height()), QSize(500, 400));
        QVERIFY(QFile::exists(t->fileName()));
        // Save now writes to the template just made.
        child<QSpinBox>(dialog, "sbWidth")->setValue(510);
        child<QPushButton>(dialog, "btnSave")->click();
        MDocumentTemplate back;
        QVERIFY(back.load(t->fileName()));
        QCOMPARE(back.width(), 510);
        QCOMPARE(back.description(), QStringLiteral("Mine"));
    }

    // A template whose file cannot be written is in neither list.
    void failedSaveAsAddsNothing()
    {
        DNewDocument dialog;
        const QStringList before = comboTexts(dialog);
        QVERIFY(QDir(userDir).removeRecursively());
        QFile blocker(userDir.chopped(1));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        MTestDialogScript script;
        nameTemplate(QStringLiteral("Lost"));
        child<QPushButton>(dialog, "btnSaveAs")->click();
        QFile::remove(userDir.chopped(1));
        QCOMPARE(comboTexts(dialog), before);
        QCOMPARE(libraryTexts(), before);
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().icon, QMessageBox::Critical);
    }

    // Save keeps the template's paper and takes the list's text as its name.
    void saveKeepsThePaper()
    {
        MDocumentTemplate *t = MDocumentTemplateList::instance()->templateAt(0);
        t->set_paperType(MEnum::Paper);
        t->set_paperName(QStringLiteral("x.jpg"));
        QVERIFY(t->save());
        DNewDocument dialog;
        child<QSpinBox>(dialog, "sbHeight")->setValue(333);
        child<QPushButton>(dialog, "btnSave")->click();
        MDocumentTemplate back;
        QVERIFY(back.load(t->fileName()));
        QCOMPARE(back.height(), 333);
        QCOMPARE(back.paperType(), int(MEnum::Paper));
        QCOMPARE(back.paperName(), QStringLiteral("x.jpg"));
    }

    void deleteRemovesFileAndRow_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }

    void deleteRemovesFileAndRow()
    {
        QFETCH(bool, confirmed);
        DNewDocument dialog;
        auto *combo = child<QComboBox>(dialog, "cbTemplate");
        combo->setCurrentIndex(1);
        const QString file = MDocumentTemplateList::instance()->templateAt(1)->fileName();
        MTestDialogScript script;
        script.answer(confirmed ? 1 : 0);
        child<QPushButton>(dialog, "btnDelete")->click();
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QStringLiteral("You want to delete a template."));
        QCOMPARE(QFile::exists(file), !confirmed);
        QCOMPARE(comboTexts(dialog), libraryTexts());
        QCOMPARE(comboTexts(dialog).size(), confirmed ? 2 : 3);
        if (confirmed) {
            // The template now selected is the one shown.
            const MDocumentTemplate *t = MDocumentTemplateList::instance()->templateAt(combo->currentIndex());
            QCOMPARE(child<QSpinBox>(dialog, "sbWidth")->value(), t->width());
        }
    }
    // System templates are the installation's: Save writes the painter's
    // copy into the user folder, Delete is refused; a user template that is
    // a link to a file elsewhere is replaced by a file of its own, the file
    // it pointed to left as it was.
    void installedAndLinkedFilesStayUntouched()
    {
        const QString systemId = QStringLiteral("{0A0B0C0D-1111-4222-8333-444455556666}");
        const QString systemFile = folder->writeFile(
            QStringLiteral("system/") + systemId.toLower() + QStringLiteral(".kxt"),
            QByteArray("{\"id\": \"") + systemId.toUtf8() + "\", \"width\": 5000, \"height\": 5000, \"description\": \"Poster\"}");
        const QByteArray installed = folder->readFile(QStringLiteral("system/") + systemId.toLower() + QStringLiteral(".kxt"));
        MTestFolder outside;
        const QByteArray elsewhere("{\"id\": \"{0F0F0F0F-2222-4333-8444-555566667777}\", \"width\": 77}");
        const QString victim = outside.writeFile(QStringLiteral("victim.kxt"), elsewhere);
        const QString linked = userDir + QStringLiteral("{0f0f0f0f-2222-4333-8444-555566667777}.kxt");
        QVERIFY(QFile::link(victim, linked));
        MDocumentTemplateList::destroyInstance();
        auto *list = new MDocumentTemplateList(folder->path() + QStringLiteral("system/"), userDir);
        MDocumentTemplateList::setInstance(list);
        const int poster = list->rowOfId(systemId);
        QVERIFY(poster >= 0);

        DNewDocument dialog;
        auto *combo = child<QComboBox>(dialog, "cbTemplate");
        combo->setCurrentIndex(poster);
        child<QSpinBox>(dialog, "sbWidth")->setValue(4000);
        MTestDialogScript script;
        child<QPushButton>(dialog, "btnSave")->click();
        QCOMPARE(script.requests().size(), 0);
        QCOMPARE(folder->readFile(QStringLiteral("system/") + systemId.toLower() + QStringLiteral(".kxt")), installed);
        MDocumentTemplate copy;
        QVERIFY(copy.load(userDir + systemId.toLower() + QStringLiteral(".kxt")));
        QCOMPARE(copy.width(), 4000);

        child<QPushButton>(dialog, "btnDelete")->click();
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QStringLiteral("You can't delete a system template."));
        QVERIFY(QFile::exists(systemFile));
        QCOMPARE(comboTexts(dialog), libraryTexts());
        QVERIFY(list->rowOfId(systemId) >= 0);

        const int linkedRow = list->rowOfId(QStringLiteral("{0F0F0F0F-2222-4333-8444-555566667777}"));
        QVERIFY(linkedRow >= 0);
        combo->setCurrentIndex(linkedRow);
        child<QPushButton>(dialog, "btnSave")->click();
        QCOMPARE(outside.readFile(QStringLiteral("victim.kxt")), elsewhere);
        QVERIFY(!QFileInfo(linked).isSymLink());
        MDocumentTemplate back;
        QVERIFY(back.load(linked));
        QCOMPARE(back.width(), child<QSpinBox>(dialog, "sbWidth")->value());
    }
};

QTEST_MAIN(TestNewDocument)
#include "tst_dnewdocument.moc"
