#pragma once

#include "msingleton.h"

#include <QObject>

// Library of code fragments.
class MSnippetList : public QObject, public MSingleton<MSnippetList>
{
    Q_OBJECT
public:
    explicit MSnippetList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
};
