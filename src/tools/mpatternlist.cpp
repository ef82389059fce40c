#include "mpatternlist.h"

#include "mdocumentdescription.h"
#include "mlogger.h"

MPatternList::MPatternList(QObject *parent)
    : MListModel<MPatternItem>(parent)
{
    addPattern(QString(), tr("No pattern"));
    addPattern(QStringLiteral(":/icons/patterns/diagonal1.png"), tr("Diagonal 1"));
    addPattern(QStringLiteral(":/icons/patterns/diagonal2.png"), tr("Diagonal 2"));
    addPattern(QStringLiteral(":/icons/patterns/diagonal3.png"), tr("Diagonal 3"));
    addPattern(QStringLiteral(":/icons/patterns/diagonal4.png"), tr("Diagonal 4"));
    addPattern(QStringLiteral(":/icons/patterns/hatch1.png"), tr("Hatch 1"));
    addPattern(QStringLiteral(":/icons/patterns/hatch2.png"), tr("Hatch 2"));
    addPattern(QStringLiteral(":/icons/patterns/chessboard2.png"), tr("Chess board 2"));
}

void MPatternList::addPattern(const QString &fileName, const QString &name)
{
    auto *item = new MPatternItem(this);
    QImage image;
    QString reason;
    if (!fileName.isEmpty()) {
        image = MImageFile::read(fileName, &reason, MDocumentDescription::imageCheck());
        if (image.isNull())
            MLogger::instance()->systemError(QStringLiteral("Pattern %1 not read: %2").arg(fileName, reason));
    }
    item->set_image(image);
    item->set_fileName(fileName);
    item->set_name(name);
    item->set_usePatternColor(false);
    appendItem(item);
}
