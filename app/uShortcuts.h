// uShortcuts.h: the Keyboard shortcuts dialog. TfmShortcuts lists every
// shortcut of the window's actions and every binding of the editor's key
// table as they are when it opens, and filters them as the user types.
#ifndef QUENLO_APP_USHORTCUTS_H
#define QUENLO_APP_USHORTCUTS_H

#include <QDialog>
#include <QList>

#include "editor/zeCustomEdit.h"

class QAction;
class QLineEdit;
class QTreeWidget;

// The words of a command's identifier, abbreviations written out:
// ecSelWordLeft is "Select word left"; a command without one is "Command N".
QString CommandCaption(TzeEditorCommand command);

class TfmShortcuts : public QDialog {
    Q_OBJECT
public:
    // One row per shortcut of actions (those without are left out), then one
    // per binding of keys, in lookup order.
    TfmShortcuts(const TzeKeyStrokes &keys, const QList<QAction *> &actions, QWidget *parent = nullptr);

    // Shows the rows that hold every word of text in one of their columns,
    // in any letter case; all rows when text is blank.
    void Filter(const QString &text);
    int VisibleCount() const;

    enum TColumn { colKeys, colCommand, colWhere };
    QLineEdit *edSearch = nullptr;
    QTreeWidget *lvShortcuts = nullptr;
};

#endif
