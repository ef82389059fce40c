#pragma once

#include "msingleton.h"

#include <QObject>

// Library of document templates.
class MDocumentTemplateList : public QObject, public MSingleton<MDocumentTemplateList>
{
    Q_OBJECT
public:
    explicit MDocumentTemplateList(QObject *parent = nullptr);

    int rowCount() const { return 0; }
};
