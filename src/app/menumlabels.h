#pragma once

#include <QByteArray>
#include <QString>

// The words a painter reads for the keys of the enumerations shown in combo
// boxes and titles. Files and settings keep the keys; only what is shown
// changes. The words are translated in the context "Enum".
class MEnumLabels
{
public:
    // The translated word for the key; a key without one of its own is
    // split into lower-case words after its capitals ("SomeKey" reads
    // "Some key"), without a two-letter lower-case prefix such as "bs".
    static QString label(const QByteArray &key);
    // The untranslated word (the text translators see).
    static QString sourceText(const QByteArray &key);
};
