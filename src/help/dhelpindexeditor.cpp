#include "dhelpindexeditor.h"
#include "ui_dhelpindexeditor.h"

#include "mhelpengine.h"
#include "mlogger.h"
#include "mutility.h"

#include <QFontMetrics>

DHelpIndexEditor::DHelpIndexEditor(MHelpEngine *engine, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DHelpIndexEditor)
    , m_engine(engine)
{
    ui->setupUi(this);
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(qMax(1, int(12 * devicePixelRatioF())));
    ui->textEdit->setFont(font);
    ui->textEdit->setTabStopDistance(4 * QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')));
    ui->textEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    QString text;
    MUtility::readTextFile(text, m_engine->indexPath());
    ui->textEdit->setPlainText(text);
}

DHelpIndexEditor::~DHelpIndexEditor()
{
    delete ui;
}

QString DHelpIndexEditor::text() const
{
    return ui->textEdit->toPlainText();
}

void DHelpIndexEditor::setText(const QString &text)
{
    ui->textEdit->setPlainText(text);
}

void DHelpIndexEditor::on_btnOk_clicked()
{
    const QString path = m_engine->indexPath();
    if (path.isEmpty() || !MUtility::writeTextFile(text(), path)) {
        // The tree stays as it was: reloading an unwritten file would lose the edit's meaning.
        *MLogger::instance() << QStringLiteral("Unable to write the help index %1").arg(path);
        return;
    }
    m_engine->loadIndex();
    accept();
}

void DHelpIndexEditor::on_btnCancel_clicked()
{
    reject();
}
