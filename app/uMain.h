// uMain.h: the main window and its document workflow.
// TfmScript holds the editor, the script document, the actions with their
// menu and toolbar, and the status bar; it runs new, open, save and save as.
#ifndef QUENLO_APP_UMAIN_H
#define QUENLO_APP_UMAIN_H

#include <functional>
#include <memory>
#include <string>

#include <QMainWindow>
#include <QStringList>

#include "toolkit/Dialogs.h"
#include "editor/zeTypes.h"
#include "app/uDiskCheck.h"

class QAction;
class QDialog;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QToolBar;
class TfmFind;
class TfmGoToLine;
class TfmOptions;
class TfmProperties;
class TCaretHistory;
class TLiveCheck;
class TCodeAssist;
class TProcedureBox;
class TfmRecoveryPrompt;
class TDocumentGuard;
struct TRecoverySnapshot;
class TScript;
class TScriptControl;
class TjaVbsSyn;
class TzeCustomEdit;

class TfmScript : public QMainWindow {
    Q_OBJECT
public:
    // arguments: the command-line arguments after the program name; dialogs:
    // the seam for message boxes and file dialogs (not owned).
    TfmScript(const QStringList &arguments, IDialogs &dialogs, QWidget *parent = nullptr);
    ~TfmScript() override;

    // The path of the current script file; empty for a new document.
    const QString &FileName() const noexcept { return m_fileName; }
    // Whether the file was opened for viewing only (no write access).
    bool ReadOnlyFile() const noexcept { return m_readOnly; }
    TScript &Script() noexcept { return *m_script; }
    TzeCustomEdit &Editor() noexcept { return *zeEditor; }
    TjaVbsSyn &Highlighter() noexcept { return *jaVbsSyn1; }
    // 0: the caret's place, 1: empty (the two described panels); 2: "INS" or
    // "OVR"; 3: "Modified" while the text has unsaved changes.
    QLabel &StatusPanel(int index) const { return *m_panels[index]; }
    static constexpr int kPanelCount = 4;
    // After the two described panels: "Line 12: Expected 'End'" while the
    // check as one types finds an error.
    QLabel &ErrorPanel() const { return *m_errorPanel; }
    // The check as one types (owned by the editor), the procedure box above
    // the editor, and the places that F12, go to line, find, the syntax
    // check's jump and the procedure box left.
    TLiveCheck &LiveCheck() noexcept { return *m_liveCheck; }
    TCodeAssist &CodeAssist() noexcept { return *m_codeAssist; }
    TProcedureBox &ProcedureBox() noexcept { return *m_procedureBox; }
    TCaretHistory &CaretHistory() noexcept { return *m_history; }

    void UpdateActionStates();
    // The files last opened or saved, newest first (at most kRecentCount).
    const QStringList &RecentFiles() const noexcept { return m_recentFiles; }
    // Opens the recent file at index as File > Open would; a file that no
    // longer exists is taken off the list, and the user is told.
    void OpenRecentFile(int index);
    // True when the document was opened; shows why when it was not. A .vbs
    // file opens as a new script with its text (see ImportPlainScript).
    bool OpenFile(const QString &path);

    // Offers, one after the other, the snapshots that windows which died
    // left behind: Recover, Discard or Later. The first one recovered goes
    // into this window while it holds an untouched new script; any other
    // opens a window of its own (deleted when it closes).
    void OfferRecovery();
    // The snapshot's document as a modified one with its file name, caret
    // and top line; a snapshot of it is written at once.
    void RecoverSnapshot(const TRecoverySnapshot &snapshot);
    // What the recovery snapshot would hold now.
    TRecoverySnapshot MakeSnapshot() const;
    TDocumentGuard &Guard() noexcept { return *m_guard; }
    // Asks to reload the file when another program changed it since it was
    // read or written here; a text kept instead is marked modified, as is
    // the text of a deleted file, which the caption marks too. Run when the
    // window gets the focus back.
    void CheckFileOnDisk();
    bool DeletedOnDisk() const noexcept { return m_deletedOnDisk; }

    QAction *acNew = nullptr;
    QAction *acOpen = nullptr;
    QAction *acSave = nullptr;
    QAction *acSaveAs = nullptr;
    QAction *acExportText = nullptr;
    QAction *acProperties = nullptr;
    QAction *acExit = nullptr;
    QAction *acUndo = nullptr;
    QAction *acRedo = nullptr;
    QAction *acCut = nullptr;
    QAction *acCopy = nullptr;
    QAction *acPaste = nullptr;
    QAction *acDeleteLine = nullptr;
    QAction *acSelectAll = nullptr;
    QAction *acFind = nullptr;
    QAction *acFindNext = nullptr;
    QAction *acFindPrevious = nullptr;
    QAction *acReplace = nullptr;
    QAction *acGoToLine = nullptr;
    QAction *acSyntaxCheck = nullptr;
    QAction *acOptions = nullptr;
    QAction *acLineNumbers = nullptr;
    QAction *acCheckAsYouType = nullptr;
    QAction *acShowProcedureBox = nullptr;
    QAction *acHighlightOccurrences = nullptr;
    QAction *acGoToDefinition = nullptr;
    QAction *acCommentLines = nullptr;
    QAction *acUncommentLines = nullptr;
    QAction *acCompleteName = nullptr;
    QAction *acCompleteNames = nullptr;
    QAction *acInsertBlockEnds = nullptr;
    QAction *acFolding = nullptr;
    QAction *acFoldAll = nullptr;
    QAction *acUnfoldAll = nullptr;
    QAction *acFoldRegion = nullptr;
    QAction *acUnfoldRegion = nullptr;
    QAction *acNavigateBack = nullptr;
    QAction *acNavigateForward = nullptr;
    QAction *acShortcuts = nullptr;
    QAction *acAbout = nullptr;
    QMenu *mnRecent = nullptr;
    QMenu *mnView = nullptr;

    void acNewExecute();
    void acOpenExecute();
    void acSaveExecute();
    void acSaveAsExecute();
    // Writes the text as a plain VBScript file: Windows-1252, CR LF after every line.
    void acExportTextExecute();
    // The editor's own commands, as its keys run them.
    void acUndoExecute();
    void acRedoExecute();
    void acDeleteLineExecute();
    void acSelectAllExecute();
    void acCutExecute();
    void acCopyExecute();
    void acPasteExecute();
    void acPropertiesExecute();
    // Find asks what to find, then finds it forward from the caret; next and
    // previous repeat the last search (asking when there was none). A search
    // wraps around at the end of the script (or selection) with a status note.
    void acFindExecute();
    void acFindNextExecute();
    void acFindPreviousExecute();
    // Replace: a selected match is replaced and the next one found; Replace
    // all replaces every match in the script (or selection) as one undo step.
    void acReplaceExecute();
    void acGoToLineExecute();
    void acSyntaxCheckExecute();
    // On OK: stores the dialog's colours, gives them to the editor and repaints it.
    void acOptionsExecute();
    void acLineNumbersToggled(bool on);
    // F12: the caret to the header of the procedure or class named at the caret.
    void acGoToDefinitionExecute();
    void acCommentLinesExecute();
    void acUncommentLinesExecute();
    void acCompleteNameExecute();
    // Alt+Left and Alt+Right: back and forward through the caret history.
    void acNavigateBackExecute();
    void acNavigateForwardExecute();
    // Help: the key bindings of the editor and the window as they are now; the version.
    void acShortcutsExecute();
    void acAboutExecute();

    // Shows the properties dialog modally and returns its result; tests replace it.
    std::function<int(TfmProperties &)> RunPropertiesDialog;
    std::function<int(TfmOptions &)> RunOptionsDialog;
    std::function<int(TfmGoToLine &)> RunGoToLineDialog;
    std::function<int(TfmFind &)> RunFindDialog;
    // Shows a Help dialog (keyboard shortcuts, about) modally.
    std::function<int(QDialog &)> RunHelpDialog;
    // Asks about one snapshot; a TfmRecoveryPrompt::TAnswer.
    std::function<int(TfmRecoveryPrompt &)> RunRecoveryPrompt;

    static constexpr const char *kCaption = "Tavrix Script Editor";
    // Where the highlighter's colours live, under the current user.
    static constexpr const char *kSettingsKey = "Software\\Tavrix\\Quenlo";
    // The recent files, below the settings key, as values File1, File2, ...
    static constexpr const char *kRecentKey = "Software\\Tavrix\\Quenlo\\Recent";
    static constexpr int kRecentCount = 8;
    // Beside the recent files: the folder the file dialogs last used.
    static constexpr const char *kFolderValue = "LastFolder";
    // Choices of the View menu, beside the colours.
    static constexpr const char *kViewKey = "Software\\Tavrix\\Quenlo\\View";
    static constexpr const char *kFilter = "Tavrix scripts (*.tvs)|*.tvs|All files (*.*)|*.*";
    static constexpr const char *kOpenFilter =
        "Tavrix scripts (*.tvs)|*.tvs|VBScript files (*.vbs)|*.vbs|All files (*.*)|*.*";
    static constexpr const char *kVbsFilter = "VBScript files (*.vbs)|*.vbs";
    // How long a passing note stays in the status bar, in milliseconds.
    static constexpr int kStatusMessageTime = 6000;

protected:
    void closeEvent(QCloseEvent *event) override;
    // Getting the focus back checks the file on disk.
    void changeEvent(QEvent *event) override;
    // A script or VBScript file dropped from a file manager opens as with
    // File > Open, the data-loss question included.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void FormCreate(const QStringList &arguments);
    void CreateActions();
    void AppIdle();
    // Also the editor's ReadOnly and the caption's "[read-only]" mark.
    void SetFileName(const QString &path, bool readOnly = false);
    // The data-loss question; true when the operation may go on.
    bool ConfirmDataLoss();
    bool SaveTo(const QString &path);
    void zeEditorSelectionChange();
    // Caret to place (clamped to the text), no selection, scrolled into view.
    void MoveCaretTo(TPoint place);
    // MoveCaretTo as a jump: the place left goes into the caret history.
    void JumpTo(TPoint place);
    // The editor below the procedure box, the live check and its panel
    // (uMainWorkbench.cpp); the View menu's choices and the navigation
    // actions, read from the settings.
    void CreateWorkbench();
    void CreateWorkbenchActions();
    void LoadWorkbenchSettings();
    // View > Folding and the fold commands (uMainFolding.cpp).
    void CreateFoldingActions();
    void LiveCheckResult();
    // Stores one View menu choice; tells in the status bar when it cannot.
    void StoreViewSetting(const char *name, bool on);
    // Runs the Find or Replace form and keeps its choices; its result.
    int AskSearch(bool replace);
    void FindAgain(bool backward);
    bool SelectionIsMatch() const;
    void ReplaceAll();
    // Replaces the selection with text as one undo step.
    void ReplaceSelection(const std::string &text);
    TFileDialogOptions DialogOptions(const char *title, const char *filter) const;
    // The save dialog's path; an existing file only when the user agrees to
    // replace it (No is the default). Nothing on cancel.
    std::optional<QString> AskSavePath(const TFileDialogOptions &options);
    // Where the file dialogs start before any was used: the program's folder
    // where it is writable, else the user's documents folder.
    static QString DefaultDialogDir();
    // The folder of path becomes the file dialogs' folder, in the settings too.
    void RememberFolder(const QString &path);
    void ShowOpenError(const QString &path, const QString &reason);
    // A plain VBScript file (Windows-1252, or UTF-8/UTF-16 after a byte-order
    // mark) as a new, unsaved script; characters a script cannot hold are left
    // out and named in the status bar.
    bool ImportPlainScript(const QString &path);
    void LoadRecentFiles();
    void LoadViewSettings();
    void StoreRecentFiles();
    void AddRecentFile(const QString &path);
    void UpdateRecentMenu();
    // Opens path after the data-loss question, as File > Open does.
    void OpenAfterQuestion(const QString &path);

    // The caption of the file name, the read-only and the deleted marks.
    void UpdateCaption();

    IDialogs &m_dialogs;
    std::unique_ptr<TScript> m_script;
    // Made before FormCreate, so that its first document is watched too.
    std::unique_ptr<TDocumentGuard> m_guard;
    TDiskCheck m_disk;
    bool m_deletedOnDisk = false;
    bool m_checkingDisk = false; // the reload question is up
    // Destroyed before the editor, a child widget; it tells the editor so.
    std::unique_ptr<TjaVbsSyn> jaVbsSyn1;
    std::unique_ptr<TScriptControl> ScriptControl1;
    TzeCustomEdit *zeEditor = nullptr;
    QToolBar *m_toolBar = nullptr;
    QLabel *m_panels[kPanelCount] = {};
    QLabel *m_errorPanel = nullptr;
    TLiveCheck *m_liveCheck = nullptr;
    TCodeAssist *m_codeAssist = nullptr; // owned by the editor
    TProcedureBox *m_procedureBox = nullptr;
    std::unique_ptr<TCaretHistory> m_history;
    QString m_fileName;
    QString m_dialogDir;
    QStringList m_recentFiles;
    bool m_readOnly = false; // the file was opened without write access
    struct TSearch {
        QString text;        // as typed
        std::string pattern; // Windows-1252; empty when the text cannot be in a script
        std::string replacement;
        bool matchCase = false;
        bool wholeWord = false;
        bool inSelection = false;
        TPoint begin, end; // the selection searched in
    } m_search;
    QStringList m_replaceDropped; // characters left out of the last replacement
    bool m_creating = false; // FormCreate runs before the window is shown
};

#endif
