#include "dpaperlist.h"
#include "ui_dpaperlist.h"

#include "mfolders.h"
#include "miconprovider.h"
#include "mlogger.h"
#include "msettings.h"
#include "mutility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>

DPaperList::DPaperList(const QString &fileName, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DPaperList)
    , m_fileName(fileName)
    , m_folder(MFolders::papersDirectory(MFolders::UserPath))
    , m_model(new QFileSystemModel(this))
    , m_icons(new MIconProvider)
{
    ui->setupUi(this);
    if (QDir(m_folder).isEmpty(QDir::Files)) {
        *MLogger::instance() << QStringLiteral("copy paper files to user directory");
        MFolders::copyDirectory(MFolders::papersDirectory(MFolders::SystemPath), m_folder, true);
    }
    m_model->setIconProvider(m_icons);
    m_model->setFilter(QDir::Files);
    ui->listView->setModel(m_model);
    ui->listView->setRootIndex(m_model->setRootPath(m_folder));
    select(m_fileName);
    // The model reads the folder in the background.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this]() { select(m_fileName); });
}

DPaperList::~DPaperList()
{
    delete ui;
    delete m_icons;
}

QString DPaperList::selectedName() const
{
    const QModelIndex index = ui->listView->currentIndex();
    return index.isValid() ? m_model->fileName(index) : QString();
}

void DPaperList::select(const QString &name)
{
    const QString path = m_folder + name;
    if (name.isEmpty() || !QFileInfo::exists(path))
        return;
    const QModelIndex index = m_model->index(path);
    if (!index.isValid())
        return;
    ui->listView->setCurrentIndex(index);
    ui->listView->scrollTo(index);
}

void DPaperList::on_btnChoose_clicked()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    m_fileName = name;
    accept();
}

void DPaperList::on_btnAdd_clicked()
{
    MSettings *settings = MSettings::instance();
    const QString path = MUtility::askOpenFileName(tr("Paper"), settings->lastFilesDir(),
                                                   MUtility::imageFileFilter(false).join(QStringLiteral(";;")));
    if (path.isEmpty())
        return;
    settings->set_lastFilesDir(MUtility::fileDirectory(path));
    const QString name = QFileInfo(path).fileName();
    const QString target = m_folder + name;
    if (QFileInfo::exists(target)) {
        MUtility::showMessage(QMessageBox::Critical, tr("Papers"),
                              tr("A paper with this name already exists. Please choose another paper file."));
        return;
    }
    if (!QFile::copy(path, target)) {
        MUtility::showMessage(QMessageBox::Critical, tr("Papers"), tr("An error occurred during the paper file copy."));
        return;
    }
    m_fileName = name;
    select(name);
}

void DPaperList::on_btnRemove_clicked()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    if (!MUtility::askConfirmation(tr("Remove paper"), tr("You want to remove the paper %1").arg(name),
                                   tr("Do you confirm?")))
        return;
    QFile::remove(m_folder + name);
}
