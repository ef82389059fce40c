#include "dabout.h"

#include "mfolders.h"
#include "mhttprequest.h"
#include "msettings.h"
#include "mutility.h"
#include "mversioninfo.h"
#include "ui_dabout.h"

#include <QFile>

DAbout::DAbout(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DAbout)
{
    ui->setupUi(this);
    QPalette palette = this->palette();
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        palette.setColor(QPalette::ColorGroup(group), QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    setWindowTitle(tr("About %1").arg(QStringLiteral("KalmiDraw")));
    ui->versionLabel->setText(QStringLiteral("%1 - %2").arg(MVersionInfo().toString(), tr("(c) Vantorel")));
    ui->logoLabel->setPixmap(QPixmap(QStringLiteral(":/icons/logo/kalmi.png")));
    ui->kalmiTextEdit->setPlainText(licenseText(MUtility::translationsDirectory(), MSettings::instance()->userLangId()));
    const QString site = MHttpRequest::siteRoot();
    ui->linkLabel->setText(QStringLiteral("<a href=\"%1\"><span style=\"text-decoration: underline; color:#0000ff;\">%1</span></a>")
                               .arg(site.toHtmlEscaped()));
}

DAbout::~DAbout()
{
    delete ui;
}

QString DAbout::licenseText(const QString &folder, const QString &langId)
{
    const QString base = MFolders::folderPath(folder);
    QString path = base + QStringLiteral("license_%1.txt").arg(MUtility::safeLanguageId(langId));
    if (!QFile::exists(path))
        path = base + QStringLiteral("license_en.txt");
    QString text;
    if (!MUtility::readTextFile(text, path))
        return QString();
    return text;
}

QString DAbout::shownLicense() const
{
    return ui->kalmiTextEdit->toPlainText();
}
