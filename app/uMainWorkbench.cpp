// uMainWorkbench.cpp: the main window's furniture beyond the document
// workflow: the procedure box above the editor, the check as one types with
// its status panel, completion and parameter hints, Return by blocks and the
// comment commands, the View menu's choices for them, go to definition and
// the caret history.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "toolkit/Registry.h"
#include "toolkit/Win1252.h"
#include "editor/zeCustomEdit.h"
#include "app/Application.h"
#include "app/uCaretHistory.h"
#include "app/uCompletion.h"
#include "app/uLiveCheck.h"
#include "app/uMain.h"
#include "app/uProcedureBox.h"

void TfmScript::CreateWorkbench()
{
    auto *centre = new QWidget(this);
    auto *layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_procedureBox = new TProcedureBox(centre);
    m_procedureBox->setFocusPolicy(Qt::ClickFocus); // Tab goes on from the editor as before
    layout->addWidget(m_procedureBox, 0, Qt::AlignLeft);
    layout->addWidget(zeEditor, 1);
    setCentralWidget(centre);
    m_procedureBox->OnChoose = [this](TPoint place) {
        JumpTo(place);
        zeEditor->SetTopLine(place.Y);
    };

    m_history = std::make_unique<TCaretHistory>();
    m_liveCheck = new TLiveCheck(*zeEditor);
    m_liveCheck->OnResult = [this](TLiveCheck &) { LiveCheckResult(); };
    m_liveCheck->OnTextChange = [this](const TzeDocChange &change) { m_history->LinesChanged(change); };
    // Names come from the last parse the live check took, never a new one.
    m_codeAssist = new TCodeAssist(*zeEditor, [this]() -> const vbs::Outline & { return m_liveCheck->Outline(); });
    zeEditor->SetBlockIndent(true);
}

void TfmScript::CreateWorkbenchActions()
{
    m_errorPanel = new QLabel(this);
    statusBar()->addWidget(m_errorPanel, 1);

    const auto choice = [this](QAction *&action, const QString &caption, const char *setting,
                               std::function<void(bool)> apply) {
        action = new QAction(caption, this);
        action->setCheckable(true);
        action->setChecked(true);
        connect(action, &QAction::toggled, this, [this, setting, apply](bool on) {
            apply(on);
            StoreViewSetting(setting, on);
        });
        mnView->addAction(action);
    };
    mnView->addSeparator();
    choice(acCheckAsYouType, tr("&Check as you type"), "CheckAsYouType", [this](bool on) {
        m_liveCheck->SetShowErrors(on);
        m_liveCheck->SetScheduled(on || acShowProcedureBox->isChecked());
    });
    choice(acShowProcedureBox, tr("&Procedure box"), "ProcedureBox", [this](bool on) {
        m_procedureBox->setVisible(on);
        m_liveCheck->SetScheduled(on || acCheckAsYouType->isChecked());
    });
    choice(acHighlightOccurrences, tr("&Highlight occurrences"), "HighlightOccurrences",
           [this](bool on) { m_liveCheck->SetShowOccurrences(on); });
    choice(acCompleteNames, tr("Complete &names while typing"), "CompleteNames",
           [this](bool on) { m_codeAssist->SetAutoOpen(on); });
    choice(acInsertBlockEnds, tr("Insert &block ends"), "InsertBlockEnds",
           [this](bool on) { zeEditor->SetInsertBlockEnds(on); });
    CreateFoldingActions();

    const auto navigation = [this](QAction *&action, const QString &caption, QKeySequence key,
                                   void (TfmScript::*handler)()) {
        action = new QAction(caption, this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
    };
    navigation(acGoToDefinition, tr("Go to d&efinition"), QKeySequence(Qt::Key_F12),
               &TfmScript::acGoToDefinitionExecute);
    navigation(acNavigateBack, tr("&Back"), QKeySequence(Qt::ALT | Qt::Key_Left), &TfmScript::acNavigateBackExecute);
    navigation(acNavigateForward, tr("F&orward"), QKeySequence(Qt::ALT | Qt::Key_Right),
               &TfmScript::acNavigateForwardExecute);
    // Keys that the editor's table and the window leave free.
    navigation(acCommentLines, tr("Co&mment lines"), QKeySequence(Qt::CTRL | Qt::Key_K),
               &TfmScript::acCommentLinesExecute);
    navigation(acUncommentLines, tr("Uncomment l&ines"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K),
               &TfmScript::acUncommentLinesExecute);
    // No mnemonic: the Edit menu has used each of its letters.
    navigation(acCompleteName, tr("Complete name"), QKeySequence(Qt::CTRL | Qt::Key_Space),
               &TfmScript::acCompleteNameExecute);
    // In the Edit menu, after Go to line.
    for (QAction *item : menuBar()->actions())
        if (QMenu *menu = item->menu(); menu && menu->actions().contains(acGoToLine)) {
            menu->addSeparator();
            menu->addActions({acGoToDefinition, acNavigateBack, acNavigateForward});
            menu->addSeparator();
            menu->addActions({acCommentLines, acUncommentLines, acCompleteName});
        }
}

void TfmScript::LoadWorkbenchSettings()
{
    try {
        TBetterRegistry registry(HKEY_CURRENT_USER);
        if (!registry.OpenKeyReadOnly(kViewKey))
            return;
        for (const auto &[name, action] : {std::pair{"CheckAsYouType", acCheckAsYouType},
                                           std::pair{"ProcedureBox", acShowProcedureBox},
                                           std::pair{"HighlightOccurrences", acHighlightOccurrences},
                                           std::pair{"CompleteNames", acCompleteNames},
                                           std::pair{"InsertBlockEnds", acInsertBlockEnds},
                                           std::pair{"Folding", acFolding}})
            if (registry.ValueExists(name))
                action->setChecked(registry.ReadInteger(name) != 0);
    } catch (const std::exception &error) {
        HandleException(error, &m_dialogs);
    }
}

void TfmScript::LiveCheckResult()
{
    m_errorPanel->setText(m_liveCheck->StatusText());
    if (m_liveCheck->IsCurrent()) {
        m_procedureBox->SetOutline(m_liveCheck->Outline());
        m_procedureBox->SelectLine(zeEditor->CaretY());
    }
}

void TfmScript::acGoToDefinitionExecute()
{
    const TPoint caret = zeEditor->CaretXY();
    if (caret.Y > zeEditor->LineCount())
        return;
    const std::string_view line = zeEditor->Lines()[caret.Y - 1];
    const auto name = vbs::IdentifierAt(line, caret.X - 1);
    if (!name)
        return;
    const std::string_view word = line.substr(size_t(name->column), size_t(name->length));
    const vbs::Outline &outline = m_liveCheck->Current();
    const int found = vbs::FindDefinition(outline, word);
    if (found < 0) {
        statusBar()->showMessage(QStringLiteral("No procedure or class named %1 in the script")
                                     .arg(Win1252::ToUnicode(std::string(word))),
                                 kStatusMessageTime);
        return;
    }
    const vbs::OutlineEntry &entry = outline.entries[size_t(found)];
    JumpTo(TPoint{entry.nameColumn + 1, entry.line});
}

void TfmScript::acCommentLinesExecute()
{
    zeEditor->CommentLines(true);
}

void TfmScript::acUncommentLinesExecute()
{
    zeEditor->CommentLines(false);
}

void TfmScript::acCompleteNameExecute()
{
    m_codeAssist->OpenList();
}

void TfmScript::acNavigateBackExecute()
{
    if (const auto place = m_history->Back(zeEditor->CaretXY()))
        MoveCaretTo(*place);
}

void TfmScript::acNavigateForwardExecute()
{
    if (const auto place = m_history->Forward(zeEditor->CaretXY()))
        MoveCaretTo(*place);
}
