#pragma once

#include <QTextBrowser>

class MTool;

// Shows the help page of the current tool, from the help folder of the
// user's language.
class MHelpWidget : public QTextBrowser
{
    Q_OBJECT
public:
    explicit MHelpWidget(QWidget *parent = nullptr);

    // A blank name changes nothing; a page without a file empties the panel.
    void showPage(const QString &pageName);

public slots:
    void onToolChanged(MTool *tool);
};
