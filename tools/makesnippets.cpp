// Writes the code fragments the system ships.
//
//   makesnippets <fragment sources folder> <snippets folder>
//
// Each "<name>.glsl" of the sources folder becomes one fragment: its first
// line, a "//" comment, is the description and the lines after it the source.
// A fragment's id is made from its file name, so that writing again gives the
// same files; "index.kxl" lists the fragments in file-name order.

#include "msnippet.h"
#include "msnippetstream.h"
#include "mutility.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <QUuid>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: makesnippets <fragment sources folder> <snippets folder>\n";
        return 2;
    }
    const QDir sources(QString::fromLocal8Bit(argv[1]));
    const QString target = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(target);
    const QUuid space(QStringLiteral("{6b1e3c52-9a0f-4c51-8d6e-2f1a7c3b9e40}"));
    QStringList index;
    for (const QString &name : sources.entryList({QStringLiteral("*.glsl")}, QDir::Files, QDir::Name)) {
        QString text;
        if (!MUtility::readTextFile(text, sources.filePath(name))) {
            err << "unable to read " << name << "\n";
            return 1;
        }
        QStringList lines = text.split(QLatin1Char('\n'));
        const QString first = lines.takeFirst();
        if (!first.startsWith(QLatin1String("//"))) {
            err << name << ": the first line must be a // description\n";
            return 1;
        }
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        MSnippet snippet;
        snippet.set_id(QUuid::createUuidV5(space, name).toString().toUpper());
        snippet.set_description(first.mid(2).trimmed());
        snippet.set_source(lines.join(QLatin1Char('\n')));
        const QString path = target + QLatin1Char('/') + snippet.id().toLower() + QStringLiteral(".kxn");
        if (!MSnippetStream(&snippet).write(path)) {
            err << "unable to write " << path << "\n";
            return 1;
        }
        index.append(snippet.id() + QStringLiteral(" # ") + snippet.description());
    }
    if (!MUtility::writeLines(index, target + QStringLiteral("/index.kxl"))) {
        err << "unable to write the index\n";
        return 1;
    }
    return 0;
}
