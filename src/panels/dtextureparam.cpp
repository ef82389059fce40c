#include "dtextureparam.h"
#include "ui_dtextureparam.h"

#include "mpathvar.h"
#include "mpathvarlist.h"
#include "msettings.h"
#include "mutility.h"

#include <QFileInfo>
#include <QMenu>
#include <QRegularExpressionValidator>

namespace {
using Item = QPair<const char *, const char *>;

void fill(QComboBox *combo, const QList<Item> &items)
{
    for (const Item &item : items)
        combo->addItem(QString::fromLatin1(item.first), QString::fromLatin1(item.second));
    combo->setCurrentIndex(0);
}

QString keyword(const QComboBox *combo)
{
    return combo->currentData().toString();
}
} // namespace

DTextureParam::DTextureParam(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DTextureParam)
{
    ui->setupUi(this);
    ui->nameEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[a-zA-Z_][a-zA-Z_0-9]*")), ui->nameEdit));
    fill(ui->minFilterEdit, {{"Linear mipmap linear", "LinearMipMapLinear"},
                             {"Nearest", "Nearest"},
                             {"Linear", "Linear"},
                             {"Nearest mipmap nearest", "NearestMipMapNearest"},
                             {"Nearest mipmap linear", "NearestMipMapLinear"},
                             {"Linear mipmap nearest", "LinearMipMapNearest"}});
    fill(ui->magFilterEdit, {{"Linear", "Linear"}, {"Nearest", "Nearest"}});
    const QList<Item> wraps = {{"Clamp to edge", "ClampToEdge"},
                               {"Clamp to border", "ClampToBorder"},
                               {"Repeat", "Repeat"},
                               {"Mirrored repeat", "MirroredRepeat"},
                               {"Mirror clamp to edge", "MirrorClampToEdge"}};
    fill(ui->wrapSEdit, wraps);
    fill(ui->wrapTEdit, wraps);

    auto *menu = new QMenu(ui->varBtn);
    const MPathVarList *variables = MPathVarList::instance();
    for (int i = 0; i < variables->count(); ++i) {
        const MPathVar *variable = variables->at(i);
        QAction *action = menu->addAction(variable->description());
        action->setProperty("variableName", variable->variable());
        connect(action, &QAction::triggered, this, &DTextureParam::addVar);
    }
    ui->varBtn->setMenu(menu);
}

DTextureParam::~DTextureParam()
{
    delete ui;
}

void DTextureParam::addVar()
{
    const QObject *action = sender();
    if (!action)
        return;
    ui->fileNameEdit->setText(ui->fileNameEdit->text() + action->property("variableName").toString());
}

void DTextureParam::on_okBtn_clicked()
{
    const QString fileName = ui->fileNameEdit->text().trimmed();
    QString problem;
    if (ui->nameEdit->text().trimmed().isEmpty())
        problem = tr("Please, enter a variable name.");
    else if (fileName.isEmpty())
        problem = tr("Please, enter a file name.");
    else if (fileName.contains(QLatin1Char('"')))
        // The name is written between double quotes: one inside would end it early.
        problem = tr("A file name cannot contain a double quote.");
    if (!problem.isEmpty()) {
        MUtility::showMessage(QMessageBox::Critical, QString(), problem);
        return;
    }
    accept();
}

void DTextureParam::on_cancelBtn_clicked()
{
    reject();
}

void DTextureParam::on_fileNameBtn_clicked()
{
    const QString path = MUtility::askOpenFileName(tr("Texture"), MSettings::instance()->lastFilesDir(),
                                                   MUtility::imageFileFilter(false).join(QStringLiteral(";;")));
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    ui->fileNameEdit->setText(info.canonicalFilePath());
    MSettings::instance()->set_lastFilesDir(info.absolutePath());
}

QString DTextureParam::declaration() const
{
    return QStringLiteral("texture ") + ui->nameEdit->text().trimmed() + QStringLiteral(" \"")
           + ui->fileNameEdit->text().trimmed() + QStringLiteral("\" wraps = ") + keyword(ui->wrapSEdit)
           + QStringLiteral(" wrapt = ") + keyword(ui->wrapTEdit) + QStringLiteral(" min filter = ")
           + keyword(ui->minFilterEdit) + QStringLiteral(" mag filter = ") + keyword(ui->magFilterEdit)
           + QLatin1Char(';');
}
