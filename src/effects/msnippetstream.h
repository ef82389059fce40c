#pragma once

#include <QObject>

class MSnippet;

// Reads and writes one code fragment as a ".kxn" file.
class MSnippetStream : public QObject
{
    Q_OBJECT
public:
    explicit MSnippetStream(MSnippet *snippet, QObject *parent = nullptr);

    // False, leaving the fragment untouched, when the file cannot be read or
    // does not hold a JSON object.
    bool read(const QString &path);
    // The same on a file's bytes.
    bool readData(const QByteArray &bytes);
    // Replaces the file as a whole: a failed write leaves the old one.
    bool write(const QString &path);

private:
    MSnippet *m_snippet;
};
