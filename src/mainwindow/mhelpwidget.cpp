#include "mhelpwidget.h"

#include "mtools.h"
#include "mutility.h"

#include <QFileInfo>
#include <QUrl>

MHelpWidget::MHelpWidget(QWidget *parent)
    : QTextBrowser(parent)
{
}

void MHelpWidget::showPage(const QString &pageName)
{
    const QString name = pageName.trimmed();
    if (name.isEmpty())
        return;
    const QString path = MUtility::helpPath() + name + QStringLiteral(".html");
    if (QFileInfo(path).isFile()) {
        // The same source set again would not be read anew.
        setSource(QUrl::fromLocalFile(path));
        reload();
    } else {
        // The previous tool's page would describe the wrong tool.
        setPlainText(QString());
    }
}

void MHelpWidget::onToolChanged(MTool *tool)
{
    showPage(MTools::helpPage(tool));
}
