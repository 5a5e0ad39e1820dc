// uMainFolding.cpp: the View menu's folding: the choice that shows the fold
// column (off unfolds everything), fold all, unfold all, and the region
// around the caret by keys that the editor's table leaves free.
#include <QAction>
#include <QMenu>

#include "editor/zeCustomEdit.h"
#include "app/uMain.h"

void TfmScript::CreateFoldingActions()
{
    mnView->addSeparator();
    acFolding = new QAction(tr("&Folding"), this);
    acFolding->setCheckable(true);
    acFolding->setChecked(true);
    zeEditor->SetFolding(true);
    mnView->addAction(acFolding);

    const auto command = [this](QAction *&action, const QString &caption, QList<QKeySequence> keys,
                                void (TzeCustomEdit::*run)()) {
        action = new QAction(caption, this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, [this, run] { (zeEditor->*run)(); });
        mnView->addAction(action);
        addAction(action);
    };
    command(acFoldAll, tr("Fold &all"), {}, &TzeCustomEdit::FoldAll);
    command(acUnfoldAll, tr("&Unfold all"), {}, &TzeCustomEdit::UnfoldAll);
    // Shift turns [ into { on most layouts: both forms are bound.
    command(acFoldRegion, tr("Fold &region"),
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketLeft), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BraceLeft)},
            &TzeCustomEdit::FoldAtCaret);
    command(acUnfoldRegion, tr("Unfold r&egion"),
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketRight),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BraceRight)},
            &TzeCustomEdit::UnfoldAtCaret);

    connect(acFolding, &QAction::toggled, this, [this](bool on) {
        zeEditor->SetFolding(on);
        for (QAction *action : {acFoldAll, acUnfoldAll, acFoldRegion, acUnfoldRegion})
            action->setEnabled(on);
        StoreViewSetting("Folding", on);
    });
}
