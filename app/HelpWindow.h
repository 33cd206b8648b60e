#pragma once
// Help › Help Topics: the user guide (HTML) in a window of its own titled "Aurivo Help". The
// guide is found from the program's own folder, where an installation or the build tree puts
// it, so it works under any prefix.

#include <QString>
#include <QStringList>

class QWidget;

/** The folders that may hold the guide for a program in `programDir`: the installation's
 *  ../share/doc/aurivo, then the build tree's ../docs. */
QStringList HelpGuideFolders(const QString& programDir);

/** The first "guide.html" in `folders`; empty when none holds one. */
QString FindHelpGuide(const QStringList& folders);

/** Shows the guide in the window titled "Aurivo Help": the one already open is brought to the
 *  top, otherwise a new one opens. Returns that window. */
QWidget* ShowHelpWindow(const QString& guidePath);
