// uMain.cpp: TfmScript, its actions and the document workflow.
#include "app/uMain.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <cerrno>
#include <cstring>

#include "toolkit/Exception.h"
#include "toolkit/PlainText.h"
#include "toolkit/Registry.h"
#include "toolkit/TextSearch.h"
#include "toolkit/Win1252.h"
#include "storage/uRecovery.h"
#include "storage/uStorage.h"
#include "highlight/jaVBSSyn.h"
#include "editor/zeCustomEdit.h"
#include "app/Application.h"
#include "app/MSScriptControl_TLB.h"
#include "app/ScreenFit.h"
#include "app/uAbout.h"
#include "app/uCaretHistory.h"
#include "app/uDocumentGuard.h"
#include "app/uFind.h"
#include "app/uGoToLine.h"
#include "app/uLiveCheck.h"
#include "app/uOptions.h"
#include "app/uProcedureBox.h"
#include "app/uProperties.h"
#include "app/uRecoveryPrompt.h"
#include "app/uShortcuts.h"

// The images live in a static library, whose resources must be registered.
static void InitResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

constexpr const char *kDataLoss = "Warning, you will lose any changes you have made, continue?";
constexpr const char *kSaveFailed = "Could not save script as an error occurred";

std::string NativePath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// Whether the editor's selected text is not empty, without building it.
bool HasSelectedText(TzeCustomEdit &editor)
{
    if (!editor.SelAvail())
        return false;
    const TPoint b = editor.BlockBegin();
    const TPoint e = editor.BlockEnd();
    if (b.Y != e.Y)
        return true;
    return b.Y <= editor.LineCount() && int(editor.Lines()[b.Y - 1].size()) >= b.X;
}

// What the status bar says of characters left out of typed or pasted text.
QString UnstorableMessage(const QStringList &characters, bool typed)
{
    constexpr qsizetype kNamed = 5;
    QStringList quoted;
    for (qsizetype i = 0; i < characters.size() && i < kNamed; ++i)
        quoted << QLatin1Char('\'') + characters[i] + QLatin1Char('\'');
    if (characters.size() > kNamed)
        quoted << QStringLiteral("...");
    const QString named = quoted.join(QStringLiteral(", "));
    if (typed)
        return named + QStringLiteral(" cannot be stored in a script file");
    if (characters.size() == 1)
        return QStringLiteral("1 character cannot be stored in a script file and was left out: ") + named;
    return QStringLiteral("%1 characters cannot be stored in a script file and were left out: %2")
        .arg(characters.size())
        .arg(named);
}

} // namespace

TfmScript::TfmScript(const QStringList &arguments, IDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs)
{
    InitResources();
    // The described bounds where the screen holds them; every window and
    // dialog shown from here on is fitted to its screen as it opens.
    setGeometry(224, 119, 724, 525);
    FitToScreen(*this);
    qApp->installEventFilter(new TScreenFit(this));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(ApplicationIcon());

    jaVbsSyn1 = std::make_unique<TjaVbsSyn>();
    ScriptControl1 = std::make_unique<TScriptControl>();
    ScriptControl1->SetLanguage("VBScript");
    RunPropertiesDialog = [](TfmProperties &dialog) { return dialog.exec(); };
    RunOptionsDialog = [](TfmOptions &dialog) { return dialog.exec(); };
    RunGoToLineDialog = [](TfmGoToLine &dialog) { return dialog.exec(); };
    RunFindDialog = [](TfmFind &dialog) { return dialog.exec(); };
    RunHelpDialog = [](QDialog &dialog) { return dialog.exec(); };
    RunRecoveryPrompt = [](TfmRecoveryPrompt &dialog) { return dialog.exec(); };
    zeEditor = new TzeCustomEdit(this);
    zeEditor->SetMaxUndo(10);
    zeEditor->SetTabIndent(4);
    zeEditor->SetWantTabs(false); // Tab moves the focus
    zeEditor->ResetKeystrokes();  // the default key table
    zeEditor->SetHighLighter(jaVbsSyn1.get());
    zeEditor->OnSelectionChange = [this](TzeCustomEdit &) { zeEditorSelectionChange(); };
    zeEditor->OnUnstorableText = [this](TzeCustomEdit &, const QStringList &characters, bool typed) {
        statusBar()->showMessage(UnstorableMessage(characters, typed), kStatusMessageTime);
    };
    CreateWorkbench();
    m_guard = std::make_unique<TDocumentGuard>();
    m_guard->IsModified = [this] { return zeEditor->Modified(); };
    m_guard->TakeSnapshot = [this] { return MakeSnapshot(); };
    m_guard->OnWriteFailed = [this](const QString &reason) {
        statusBar()->showMessage(QStringLiteral("The recovery snapshot could not be written: ") + reason,
                                 kStatusMessageTime);
    };
    zeEditor->OnChange = [this](TzeCustomEdit &) { m_guard->DocumentChanged(); };
    setAcceptDrops(true); // files from a file manager

    CreateActions();
    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setFixedWidth(i == 0 ? 80 : 50);
        statusBar()->addWidget(m_panels[i]);
    }
    CreateWorkbenchActions();
    // The mode and the state stay in view while a passing note is shown.
    for (int i = 2; i < kPanelCount; ++i) {
        m_panels[i] = new QLabel(this);
        const QString widest = i == 2 ? QStringLiteral("OVR") : QStringLiteral("Modified");
        m_panels[i]->setMinimumWidth(m_panels[i]->fontMetrics().horizontalAdvance(widest) + 8);
        m_panels[i]->setAlignment(Qt::AlignCenter);
        statusBar()->addPermanentWidget(m_panels[i]);
    }
    m_creating = true;
    FormCreate(arguments);
    m_creating = false;
}

TfmScript::~TfmScript()
{
    // The editor, a child widget, outlives the guard.
    zeEditor->OnChange = nullptr;
}

void TfmScript::CreateActions()
{
    struct Def {
        QAction **action;
        const char *caption;
        const char *hint;
        const char *image;
        QKeySequence shortcut;
        void (TfmScript::*handler)();
    };
    const Def defs[] = {
        {&acNew, "&New", "New file", "new", {}, &TfmScript::acNewExecute},
        {&acOpen, "&Open...", "Open file", "open", QKeySequence(Qt::CTRL | Qt::Key_O), &TfmScript::acOpenExecute},
        {&acSave, "&Save", "Save file", "save", QKeySequence(Qt::CTRL | Qt::Key_S), &TfmScript::acSaveExecute},
        {&acSaveAs, "Save &as...", "Save file as", nullptr, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
         &TfmScript::acSaveAsExecute},
        {&acExportText, "Expor&t text...", "Export the text as a VBScript file", nullptr, {},
         &TfmScript::acExportTextExecute},
        {&acProperties, "&Properties...", "Properties", nullptr, {}, &TfmScript::acPropertiesExecute},
        {&acExit, "E&xit", "Exit", nullptr, {}, nullptr},
        {&acUndo, "&Undo", "Undo", nullptr, QKeySequence(Qt::CTRL | Qt::Key_Z), &TfmScript::acUndoExecute},
        {&acRedo, "Re&do", "Redo", nullptr, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &TfmScript::acRedoExecute},
        {&acCut, "Cu&t", "Cut", "cut", QKeySequence(Qt::CTRL | Qt::Key_X), &TfmScript::acCutExecute},
        {&acCopy, "&Copy", "Copy", "copy", QKeySequence(Qt::CTRL | Qt::Key_C), &TfmScript::acCopyExecute},
        {&acPaste, "&Paste", nullptr, "paste", QKeySequence(Qt::CTRL | Qt::Key_V), &TfmScript::acPasteExecute},
        {&acDeleteLine, "Delete &line", "Delete the caret's line", nullptr, QKeySequence(Qt::CTRL | Qt::Key_Y),
         &TfmScript::acDeleteLineExecute},
        {&acSelectAll, "Select &all", "Select all", nullptr, QKeySequence(Qt::CTRL | Qt::Key_A),
         &TfmScript::acSelectAllExecute},
        {&acFind, "&Find...", "Find", nullptr, QKeySequence(Qt::CTRL | Qt::Key_F), &TfmScript::acFindExecute},
        {&acFindNext, "Find &next", nullptr, nullptr, QKeySequence(Qt::Key_F3), &TfmScript::acFindNextExecute},
        {&acFindPrevious, "Find pre&vious", nullptr, nullptr, QKeySequence(Qt::SHIFT | Qt::Key_F3),
         &TfmScript::acFindPreviousExecute},
        {&acReplace, "&Replace...", "Replace", nullptr, QKeySequence(Qt::CTRL | Qt::Key_H),
         &TfmScript::acReplaceExecute},
        {&acGoToLine, "&Go to line...", "Go to line", nullptr, QKeySequence(Qt::CTRL | Qt::Key_G),
         &TfmScript::acGoToLineExecute},
        {&acSyntaxCheck, "&Syntax check", nullptr, nullptr, {}, &TfmScript::acSyntaxCheckExecute},
        {&acOptions, "Options", nullptr, nullptr, {}, &TfmScript::acOptionsExecute},
        {&acShortcuts, "&Keyboard shortcuts", nullptr, nullptr, {}, &TfmScript::acShortcutsExecute},
        {&acAbout, "&About Quenlo", nullptr, nullptr, {}, &TfmScript::acAboutExecute},
    };
    for (const Def &d : defs) {
        auto *action = new QAction(QString::fromLatin1(d.caption), this);
        if (d.hint) {
            action->setToolTip(QString::fromLatin1(d.hint));
            action->setStatusTip(QString::fromLatin1(d.hint));
        }
        if (d.image)
            action->setIcon(QIcon(QStringLiteral(":/images/%1.xpm").arg(QLatin1String(d.image))));
        if (!d.shortcut.isEmpty()) {
            action->setShortcut(d.shortcut);
            // These shortcuts come before the editor's bindings of the same
            // keys; both end in the same editor operation. The others use keys
            // the editor's default table leaves free.
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        if (d.handler)
            connect(action, &QAction::triggered, this, d.handler);
        *d.action = action;
        addAction(action);
    }
    // Exit closes the window, which asks about unsaved changes.
    connect(acExit, &QAction::triggered, this, &QWidget::close);

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addActions({acNew, acOpen, acSave, acSaveAs, acExportText});
    file->addSeparator();
    mnRecent = file->addMenu(tr("&Recent files"));
    file->addSeparator();
    file->addAction(acProperties);
    file->addSeparator();
    file->addAction(acExit);
    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->addActions({acUndo, acRedo});
    edit->addSeparator();
    edit->addActions({acCut, acCopy, acPaste, acDeleteLine, acSelectAll});
    edit->addSeparator();
    edit->addActions({acFind, acFindNext, acFindPrevious, acReplace});
    edit->addSeparator();
    edit->addAction(acGoToLine);
    // View > Line numbers: the gutter's line numbers, off until the user
    // turns them on; the choice is kept in the settings.
    acLineNumbers = new QAction(tr("&Line numbers"), this);
    acLineNumbers->setCheckable(true);
    connect(acLineNumbers, &QAction::toggled, this, &TfmScript::acLineNumbersToggled);
    mnView = menuBar()->addMenu(tr("&View"));
    mnView->addAction(acLineNumbers);
    QMenu *tools = menuBar()->addMenu(tr("&Tools"));
    tools->addAction(acSyntaxCheck);
    tools->addSeparator();
    tools->addAction(acOptions);
    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->addAction(acShortcuts);
    help->addSeparator();
    help->addAction(acAbout);

    // The editor's right-click menu: undo and the clipboard, as in the Edit menu.
    auto *popup = new QMenu(this);
    popup->addActions({acUndo, acRedo});
    popup->addSeparator();
    popup->addActions({acCut, acCopy, acPaste});
    popup->addSeparator();
    popup->addAction(acSelectAll);
    zeEditor->SetPopupMenu(popup);

    m_toolBar = addToolBar(tr("Standard"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->addActions({acNew, acOpen, acSave});
    m_toolBar->addSeparator();
    m_toolBar->addActions({acCut, acCopy, acPaste});
    m_toolBar->addSeparator();
}

void TfmScript::FormCreate(const QStringList &arguments)
{
    m_script = std::make_unique<TScript>();
    // Idle: the event loop is about to wait for the next event.
    if (auto *dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TfmScript::AppIdle);
    m_dialogDir = DefaultDialogDir();
    // A broken settings value is shown by the standard handler; the window still opens.
    try {
        jaVbsSyn1->LoadFromRegistry(HKEY_CURRENT_USER, kSettingsKey);
    } catch (const std::exception &error) {
        HandleException(error, &m_dialogs);
    }
    LoadRecentFiles();
    LoadViewSettings();
    LoadWorkbenchSettings();
    if (arguments.isEmpty())
        acNewExecute();
    else if (!OpenFile(arguments.constFirst()))
        zeEditorSelectionChange(); // the initial empty lines, with the caret's place shown
    UpdateActionStates();
}

void TfmScript::AppIdle()
{
    UpdateActionStates();
}

void TfmScript::UpdateActionStates()
{
    acSave->setEnabled(zeEditor->Modified());
    const bool selected = HasSelectedText(*zeEditor);
    acCut->setEnabled(selected && !m_readOnly);
    acCopy->setEnabled(selected);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    acPaste->setEnabled(data && data->hasText() && !m_readOnly);
    acReplace->setEnabled(!m_readOnly);
    acUndo->setEnabled(zeEditor->CanUndo());
    acRedo->setEnabled(zeEditor->CanRedo());
    acDeleteLine->setEnabled(!m_readOnly);
    m_panels[2]->setText(zeEditor->InsertMode() ? QStringLiteral("INS") : QStringLiteral("OVR"));
    m_panels[3]->setText(zeEditor->Modified() ? QStringLiteral("Modified") : QString());
}

bool TfmScript::ConfirmDataLoss()
{
    if (!zeEditor->Modified())
        return true;
    // No is the default: Enter must never throw work away.
    return m_dialogs.MessageDlg(QString::fromLatin1(kDataLoss), mtConfirmation, mbYes | mbNo, mbNo) != mrNo;
}

void TfmScript::SetFileName(const QString &path, bool readOnly)
{
    m_fileName = path;
    m_readOnly = readOnly;
    m_deletedOnDisk = false;
    m_disk.Remember(path);
    zeEditor->SetReadOnly(readOnly);
    UpdateCaption();
}

void TfmScript::UpdateCaption()
{
    QString caption = QString::fromLatin1(kCaption);
    if (!m_fileName.isEmpty())
        caption += QStringLiteral(" - ") + QFileInfo(m_fileName).fileName();
    if (m_readOnly)
        caption += QStringLiteral(" [read-only]");
    if (m_deletedOnDisk)
        caption += QStringLiteral(" [deleted from disk]");
    setWindowTitle(caption);
}

QString TfmScript::DefaultDialogDir()
{
    // An installed program's folder is not the user's to write in.
    const QString program = QCoreApplication::applicationDirPath();
    if (QFileInfo(program).isWritable())
        return program;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void TfmScript::RememberFolder(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (folder == m_dialogDir)
        return; // stored already
    m_dialogDir = folder;
    try {
        TBetterRegistry registry(HKEY_CURRENT_USER);
        if (!registry.OpenKey(kRecentKey, true))
            throw ERegistryException(std::string("Failed to set data for '") + kFolderValue + "'");
        if (const auto stored = Win1252::FromUnicode(m_dialogDir))
            registry.WriteString(kFolderValue, *stored);
        registry.CloseKey(); // written out here, so that a failure is reported
    } catch (const std::exception &) {
        statusBar()->showMessage(QStringLiteral("The folder of the file dialogs could not be stored"),
                                 kStatusMessageTime);
    }
}

TFileDialogOptions TfmScript::DialogOptions(const char *title, const char *filter) const
{
    return TFileDialogOptions{QString::fromLatin1(title), m_dialogDir, QString::fromLatin1(filter), QStringLiteral("tvs"), {}};
}

void TfmScript::LoadViewSettings()
{
    try {
        TBetterRegistry registry(HKEY_CURRENT_USER);
        if (registry.OpenKeyReadOnly(kViewKey) && registry.ValueExists("LineNumbers"))
            acLineNumbers->setChecked(registry.ReadInteger("LineNumbers") != 0);
    } catch (const std::exception &error) {
        HandleException(error, &m_dialogs);
    }
}

void TfmScript::acLineNumbersToggled(bool on)
{
    zeEditor->Gutter().SetShowLineNumbers(on);
    StoreViewSetting("LineNumbers", on);
}

void TfmScript::StoreViewSetting(const char *name, bool on)
{
    if (m_creating)
        return; // read from the settings, nothing to store
    try {
        TBetterRegistry registry(HKEY_CURRENT_USER);
        if (!registry.OpenKey(kViewKey, true))
            throw ERegistryException(std::string("Failed to set data for '") + name + "'");
        registry.WriteInteger(name, on ? 1 : 0);
        registry.CloseKey(); // written out here, so that a failure is reported
    } catch (const std::exception &) {
        statusBar()->showMessage(QStringLiteral("The view settings could not be stored"), kStatusMessageTime);
    }
}

void TfmScript::LoadRecentFiles()
{
    m_recentFiles.clear();
    try {
        TBetterRegistry registry(HKEY_CURRENT_USER);
        if (registry.OpenKeyReadOnly(kRecentKey)) {
            for (int i = 1; i <= kRecentCount; ++i) {
                const std::string name = "File" + std::to_string(i);
                if (registry.ValueExists(name) && !registry.ReadString(name).empty())
                    m_recentFiles << Win1252::ToUnicode(registry.ReadString(name));
            }
            // The folder last used, while it is still there.
            if (registry.ValueExists(kFolderValue)) {
                const QString folder = Win1252::ToUnicode(registry.ReadString(kFolderValue));
                if (!folder.isEmpty() && QFileInfo(folder).isDir())
                    m_dialogDir = folder;
            }
        }
    } catch (const std::exception &error) {
        HandleException(error, &m_dialogs);
    }
    UpdateRecentMenu();
}

void TfmScript::StoreRecentFiles()
{
    try {
        TBetterRegistry registry(HKEY_CURRENT_USER);
        if (!registry.OpenKey(kRecentKey, true))
            throw ERegistryException("Failed to set data for 'File1'");
        int stored = 0;
        for (const QString &path : std::as_const(m_recentFiles)) {
            // A path that the settings' text cannot hold stays for this session only.
            if (const auto text = Win1252::FromUnicode(path))
                registry.WriteString("File" + std::to_string(++stored), *text);
        }
        for (int i = stored + 1; i <= kRecentCount; ++i)
            registry.DeleteValue("File" + std::to_string(i));
        registry.CloseKey(); // written out here, so that a failure is reported
    } catch (const std::exception &) {
        statusBar()->showMessage(QStringLiteral("The recent files could not be stored"), kStatusMessageTime);
    }
}

void TfmScript::AddRecentFile(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_recentFiles.removeAll(absolute);
    m_recentFiles.prepend(absolute);
    while (m_recentFiles.size() > kRecentCount)
        m_recentFiles.removeLast();
    StoreRecentFiles();
    UpdateRecentMenu();
}

void TfmScript::UpdateRecentMenu()
{
    mnRecent->clear();
    for (int i = 0; i < m_recentFiles.size(); ++i) {
        QAction *item = mnRecent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(m_recentFiles[i])));
        connect(item, &QAction::triggered, this, [this, i] { OpenRecentFile(i); });
    }
    mnRecent->setEnabled(!m_recentFiles.isEmpty());
}

void TfmScript::OpenRecentFile(int index)
{
    if (index < 0 || index >= m_recentFiles.size())
        return;
    const QString path = m_recentFiles[index];
    if (!QFileInfo(path).isFile()) {
        m_recentFiles.removeAt(index);
        StoreRecentFiles();
        UpdateRecentMenu();
        m_dialogs.MessageDlg(QStringLiteral("\"%1\" no longer exists and was removed from the recent files.")
                                 .arg(QDir::toNativeSeparators(path)),
                             mtError, mbOK);
        return;
    }
    OpenAfterQuestion(path);
}

void TfmScript::OpenAfterQuestion(const QString &path)
{
    if (!ConfirmDataLoss())
        return;
    RememberFolder(path);
    OpenFile(path);
}

void TfmScript::acNewExecute()
{
    if (!ConfirmDataLoss())
        return;
    SetFileName(QString());
    m_script->Clear();
    zeEditor->SetText("Sub Main\r\n\r\nEnd Sub");
    zeEditor->SetCaretY(2);
    zeEditor->SetCaretX(2);
    zeEditor->SetTopLine(0);
    zeEditor->SetModified(false);
    m_guard->Discard();
    UpdateActionStates();
    m_liveCheck->CheckNow();
}

void TfmScript::acOpenExecute()
{
    if (!ConfirmDataLoss())
        return;
    const auto path = m_dialogs.OpenFileName(DialogOptions("Open script", kOpenFilter));
    if (!path)
        return;
    RememberFolder(*path);
    OpenFile(*path);
}

bool TfmScript::OpenFile(const QString &path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("vbs"), Qt::CaseInsensitive) == 0)
        return ImportPlainScript(path);
    QString reason;
    try {
        // A file without write access opens for viewing.
        if (m_script->LoadFromFile(NativePath(path), true)) {
            SetFileName(path, m_script->ReadOnly());
            AddRecentFile(path);
            // The editor takes the document's lines over, without a copy
            // (a save writes them from the editor).
            zeEditor->Document().TakeLines(m_script->Lines());
            zeEditor->SetModified(false);
            m_guard->Discard();
            UpdateActionStates();
            zeEditorSelectionChange();
            m_liveCheck->CheckNow();
            return true;
        }
        reason = QString::fromLocal8Bit(m_script->LastError().c_str());
    } catch (const Exception &error) {
        reason = QString::fromLocal8Bit(error.what());
    }
    ShowOpenError(path, reason);
    return false;
}

void TfmScript::ShowOpenError(const QString &path, const QString &reason)
{
    const QString message = QStringLiteral("Could not open script \"%1\":\n%2").arg(QFileInfo(path).fileName(), reason);
    if (!m_creating) {
        m_dialogs.MessageDlg(message, mtError, mbOK);
    } else {
        // A file named on the command line: tell once the window is on screen.
        QMetaObject::invokeMethod(this, [this, message] { m_dialogs.MessageDlg(message, mtError, mbOK); },
                                  Qt::QueuedConnection);
    }
}

bool TfmScript::ImportPlainScript(const QString &path)
{
    std::string bytes;
    if (!PlainText::ReadWholeFile(NativePath(path), bytes)) {
        ShowOpenError(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    QStringList dropped;
    if (const auto mark = PlainText::ByteOrderMark(bytes)) {
        bool malformed = false;
        const QString unicode = PlainText::Decode(bytes, *mark, malformed);
        if (malformed) {
            ShowOpenError(path, QStringLiteral("not valid %1 (after its byte-order mark)").arg(QLatin1String(mark->name)));
            return false;
        }
        bytes = Win1252::FromUnicodeDropping(unicode, dropped);
    }
    // A new document with that text: Save asks for a script file's name.
    SetFileName(QString());
    setWindowTitle(QString::fromLatin1(kCaption) + QStringLiteral(" - new script from ") + QFileInfo(path).fileName());
    m_script->Clear();
    m_script->Lines().SetText(bytes);
    zeEditor->Document().TakeLines(m_script->Lines());
    zeEditor->SetModified(true);
    m_guard->Discard(); // nothing of the previous document is kept
    m_guard->DocumentChanged();
    AddRecentFile(path);
    UpdateActionStates();
    zeEditorSelectionChange();
    m_liveCheck->CheckNow();
    if (!dropped.isEmpty())
        statusBar()->showMessage(UnstorableMessage(dropped, false), kStatusMessageTime);
    return true;
}

void TfmScript::acExportTextExecute()
{
    // The script's file name with .vbs, or its display name for a new script.
    QString name = QFileInfo(m_fileName).completeBaseName();
    if (name.isEmpty())
        name = Win1252::ToUnicode(m_script->Name()).remove(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")));
    const auto path = AskSavePath(TFileDialogOptions{QStringLiteral("Export text"), m_dialogDir,
                                                     QString::fromLatin1(kVbsFilter), QStringLiteral("vbs"),
                                                     name.isEmpty() ? QString() : name + QStringLiteral(".vbs")});
    if (!path)
        return;
    RememberFolder(*path);
    // The editor's text is Windows-1252 already; every line ends in CR LF.
    QByteArray data;
    const TzeEditList &lines = zeEditor->Lines();
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string_view line = lines[i];
        data.append(line.data(), qsizetype(line.size()));
        data.append("\r\n");
    }
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        m_dialogs.MessageDlg(QStringLiteral("Could not export the text\n") + file.errorString(), mtError, mbOK);
}

bool TfmScript::SaveTo(const QString &path)
{
    m_liveCheck->CheckNow(); // what was saved is shown checked
    // The editor's lines are written as they are, without a copy.
    if (!m_script->SaveToFile(NativePath(path), zeEditor->Lines())) {
        // The reason on a line of its own, as an open that fails gives it.
        QString message = QString::fromLatin1(kSaveFailed);
        if (!m_script->LastError().empty())
            message += QStringLiteral("\n") + QString::fromLocal8Bit(m_script->LastError().c_str());
        m_dialogs.MessageDlg(message, mtError, mbOK);
        return false;
    }
    m_guard->Discard();
    m_disk.Remember(path);
    if (m_deletedOnDisk && path == m_fileName) {
        m_deletedOnDisk = false; // written back
        UpdateCaption();
    }
    return true;
}

void TfmScript::acSaveExecute()
{
    if (m_fileName.isEmpty() || m_readOnly) {
        acSaveAsExecute();
        return;
    }
    if (SaveTo(m_fileName)) {
        zeEditor->SetModified(false);
        UpdateActionStates();
    }
}

std::optional<QString> TfmScript::AskSavePath(const TFileDialogOptions &options)
{
    // The file dialog asks nothing itself; No goes back to it, as a dialog's
    // own question would.
    for (;;) {
        const auto path = m_dialogs.SaveFileName(options);
        if (!path || !QFileInfo::exists(*path))
            return path;
        const QString question = QStringLiteral("%1 already exists. Replace it?").arg(QFileInfo(*path).fileName());
        if (m_dialogs.MessageDlg(question, mtConfirmation, mbYes | mbNo, mbNo) == mrYes)
            return path;
    }
}

void TfmScript::acSaveAsExecute()
{
    const auto path = AskSavePath(DialogOptions("Save script", kFilter));
    if (!path)
        return;
    RememberFolder(*path);
    if (SaveTo(*path)) {
        SetFileName(*path);
        AddRecentFile(*path);
        zeEditor->SetModified(false);
        UpdateActionStates();
    }
}

void TfmScript::acUndoExecute() { zeEditor->CommandProcessor(ecUndo, '\0', nullptr); }
void TfmScript::acRedoExecute() { zeEditor->CommandProcessor(ecRedo, '\0', nullptr); }
void TfmScript::acDeleteLineExecute() { zeEditor->CommandProcessor(ecDeleteLine, '\0', nullptr); }
void TfmScript::acSelectAllExecute() { zeEditor->CommandProcessor(ecSelectAll, '\0', nullptr); }
void TfmScript::acCutExecute() { zeEditor->CutToClipboard(); }
void TfmScript::acCopyExecute() { zeEditor->CopyToClipboard(); }
void TfmScript::acPasteExecute() { zeEditor->PasteFromClipboard(); }

void TfmScript::acPropertiesExecute()
{
    // Freed on every path; an engine error while filling the procedure list
    // reaches the standard handler and the dialog is not shown.
    auto dialog = std::make_unique<TfmProperties>(*zeEditor, m_dialogs, this);
    dialog->LoadFromScript(*m_script);
    if (RunPropertiesDialog(*dialog) == QDialog::Accepted) {
        dialog->SaveToScript(*m_script);
        zeEditor->SetModified(true);
        m_guard->DocumentChanged();
        UpdateActionStates();
    }
}

int TfmScript::AskSearch(bool replace)
{
    const bool selected = HasSelectedText(*zeEditor);
    const TPoint b = zeEditor->BlockBegin(), e = zeEditor->BlockEnd();
    // A selection within one line is what to find; a longer one is where.
    QString text = m_search.text;
    if (selected && b.Y == e.Y)
        text = Win1252::ToUnicode(zeEditor->SelText());
    TfmFind dialog(text, selected && b.Y != e.Y, replace, this);
    dialog.cbMatchCase->setChecked(m_search.matchCase);
    dialog.cbWholeWord->setChecked(m_search.wholeWord);
    dialog.cbSelection->setChecked(dialog.cbSelection->isEnabled());
    if (replace)
        dialog.edReplace->setText(Win1252::ToUnicode(m_search.replacement));
    const int result = RunFindDialog(dialog);
    if (result == QDialog::Rejected || dialog.edFind->text().isEmpty())
        return QDialog::Rejected;
    m_search.text = dialog.edFind->text();
    m_search.pattern = Win1252::FromUnicode(m_search.text).value_or(std::string());
    m_replaceDropped.clear();
    if (replace)
        m_search.replacement = Win1252::FromUnicodeDropping(dialog.edReplace->text(), m_replaceDropped);
    m_search.matchCase = dialog.cbMatchCase->isChecked();
    m_search.wholeWord = dialog.cbWholeWord->isChecked();
    m_search.inSelection = dialog.cbSelection->isEnabled() && dialog.cbSelection->isChecked();
    m_search.begin = b;
    m_search.end = e;
    if (m_search.inSelection && result == QDialog::Accepted)
        zeEditor->SetCaretXY(b); // from the selection's start
    return result;
}

void TfmScript::acFindExecute()
{
    if (AskSearch(false) == QDialog::Accepted)
        FindAgain(false);
}

void TfmScript::acReplaceExecute()
{
    if (zeEditor->ReadOnly())
        return;
    const int result = AskSearch(true);
    if (result == TfmFind::kReplaceAll) {
        ReplaceAll();
    } else if (result == QDialog::Accepted) {
        if (SelectionIsMatch())
            ReplaceSelection(m_search.replacement);
        FindAgain(false);
    }
    // What was left out of the replacement matters more than a count or a wrap.
    if (!m_replaceDropped.isEmpty())
        statusBar()->showMessage(UnstorableMessage(m_replaceDropped, false), kStatusMessageTime);
}

bool TfmScript::SelectionIsMatch() const
{
    const TPoint b = zeEditor->BlockBegin(), e = zeEditor->BlockEnd();
    if (!zeEditor->SelAvail() || b.Y != e.Y || e.X - b.X != int(m_search.pattern.size()))
        return false;
    const TTextPlace at{b.Y - 1, b.X - 1};
    const auto found = FindText(zeEditor->Lines(), m_search.pattern, {m_search.matchCase, m_search.wholeWord}, at, false,
                                at, TTextPlace{e.Y - 1, e.X - 1});
    return found && *found == at;
}

void TfmScript::ReplaceSelection(const std::string &text)
{
    // Recorded as a paste over the selection, which undoes in one step.
    zeEditor->PasteText(text);
}

void TfmScript::ReplaceAll()
{
    const TStringList &lines = zeEditor->Lines();
    const auto place = [](TPoint p) { return TTextPlace{p.Y - 1, p.X - 1}; };
    const TTextPlace begin = m_search.inSelection ? place(m_search.begin) : TTextPlace{0, 0};
    const TTextPlace end = m_search.inSelection ? place(m_search.end) : TTextPlace{lines.Count(), 0};
    const TSearchOptions options{m_search.matchCase, m_search.wholeWord};
    const std::string &pattern = m_search.pattern;
    // The lines from the first match to the last, rebuilt with the replacements.
    std::string text;
    int first = -1, last = -1, count = 0;
    TTextPlace copied{0, 0}; // what of the text is in text already
    for (auto found = FindText(lines, pattern, options, begin, false, begin, end); found;
         found = FindText(lines, pattern, options, TTextPlace{found->Line, found->Column + int(pattern.size())}, false,
                          begin, end)) {
        if (first < 0) {
            first = found->Line;
            copied = {first, 0};
        }
        for (; copied.Line < found->Line; ++copied.Line, copied.Column = 0)
            text.append(lines[copied.Line].substr(std::size_t(copied.Column))).append("\r\n");
        text.append(lines[found->Line].substr(std::size_t(copied.Column), std::size_t(found->Column - copied.Column)));
        text.append(m_search.replacement);
        copied = {found->Line, found->Column + int(pattern.size())};
        last = found->Line;
        ++count;
    }
    if (count == 0) {
        statusBar()->showMessage(QStringLiteral("\"%1\" was not found").arg(m_search.text), kStatusMessageTime);
        return;
    }
    text.append(lines[last].substr(std::size_t(copied.Column)));
    zeEditor->SetCaretXY({1, first + 1});
    zeEditor->SetBlockBegin({1, first + 1});
    zeEditor->SetBlockEnd({int(lines[last].size()) + 1, last + 1});
    ReplaceSelection(text);
    statusBar()->showMessage(count == 1 ? QStringLiteral("1 occurrence replaced")
                                        : QStringLiteral("%1 occurrences replaced").arg(count),
                             kStatusMessageTime);
}

void TfmScript::acFindNextExecute() { FindAgain(false); }
void TfmScript::acFindPreviousExecute() { FindAgain(true); }

void TfmScript::FindAgain(bool backward)
{
    if (m_search.text.isEmpty()) {
        acFindExecute();
        return;
    }
    const auto place = [](TPoint p) { return TTextPlace{p.Y - 1, p.X - 1}; };
    const int lines = zeEditor->LineCount();
    const TTextPlace begin = m_search.inSelection ? place(m_search.begin) : TTextPlace{0, 0};
    const TTextPlace end = m_search.inSelection ? place(m_search.end) : TTextPlace{lines, 0};
    const bool selected = zeEditor->SelAvail();
    const TTextPlace from =
        place(selected ? (backward ? zeEditor->BlockBegin() : zeEditor->BlockEnd()) : zeEditor->CaretXY());
    const TSearchOptions options{m_search.matchCase, m_search.wholeWord};
    const std::string &pattern = m_search.pattern;
    auto found = FindText(zeEditor->Lines(), pattern, options, from, backward, begin, end);
    QString note;
    if (!found) {
        found = FindText(zeEditor->Lines(), pattern, options, backward ? end : begin, backward, begin, end);
        const QString where = m_search.inSelection ? QStringLiteral("selection") : QStringLiteral("script");
        note = backward ? QStringLiteral("Passed the start of the %1; continued from its end").arg(where)
                        : QStringLiteral("Passed the end of the %1; continued from its start").arg(where);
    }
    if (!found) {
        statusBar()->showMessage(QStringLiteral("\"%1\" was not found").arg(m_search.text), kStatusMessageTime);
        return;
    }
    const TPoint start{found->Column + 1, found->Line + 1};
    const TPoint stop{start.X + int(pattern.size()), start.Y};
    m_history->Record(zeEditor->CaretXY());
    zeEditor->SetCaretXY(stop); // scrolls the match into view
    zeEditor->SetBlockBegin(start);
    zeEditor->SetBlockEnd(stop);
    if (note.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(note, kStatusMessageTime);
}

void TfmScript::acGoToLineExecute()
{
    TfmGoToLine dialog(zeEditor->LineCount(), zeEditor->CaretY(), this);
    if (RunGoToLineDialog(dialog) == QDialog::Accepted)
        JumpTo({1, dialog.Line()});
}

void TfmScript::acSyntaxCheckExecute()
{
    ScriptControl1->Reset();
    try {
        ScriptControl1->AddCode(zeEditor->Text());
        m_dialogs.MessageDlg(QStringLiteral("Syntax check completed with no errors"), mtCustom, mbOK);
    } catch (const Exception &) {
        const TScriptError &error = ScriptControl1->Error();
        m_dialogs.MessageDlg(QStringLiteral("An error occurred at line %1\r\n").arg(error.Line) +
                                 Win1252::ToUnicode(error.Description),
                             mtError, mbOK);
        // Then to the place of the error (the engine's column counts from 0).
        JumpTo({error.Column + 1, error.Line});
    }
}

void TfmScript::acOptionsExecute()
{
    auto dialog = std::make_unique<TfmOptions>(&m_dialogs, this); // freed on every path
    if (RunOptionsDialog(*dialog) != QDialog::Accepted)
        return;
    TjaVbsSyn &chosen = dialog->Highlighter();
    // The colours apply even when they cannot be stored; the user is told.
    try {
        if (!chosen.SaveToRegistry(HKEY_CURRENT_USER, kSettingsKey))
            m_dialogs.MessageDlg(QStringLiteral("The colours could not be stored; they apply until Quenlo closes."),
                                 mtError, mbOK);
    } catch (const std::exception &error) {
        HandleException(error, &m_dialogs);
    }
    for (int i = 0; i < jaVbsSyn1->AttrCount(); ++i)
        jaVbsSyn1->Attribute(i)->Assign(*chosen.Attribute(i));
    zeEditor->HighlighterChanged(); // Assign notifies nobody
}

void TfmScript::MoveCaretTo(TPoint place)
{
    zeEditor->SetCaretXY(place); // scrolls the caret into view
    zeEditor->SetBlockBegin(zeEditor->CaretXY());
    zeEditor->SetBlockEnd(zeEditor->CaretXY());
    zeEditor->setFocus();
}

void TfmScript::JumpTo(TPoint place)
{
    m_history->Record(zeEditor->CaretXY());
    MoveCaretTo(place);
}

void TfmScript::zeEditorSelectionChange()
{
    m_panels[0]->setText(QStringLiteral("(%1,%2)").arg(zeEditor->CaretX()).arg(zeEditor->CaretY()));
    m_procedureBox->SelectLine(zeEditor->CaretY());
}

namespace {

// The first local .tvs or .vbs file that a drag carries; empty when none.
QString DroppedScript(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls()) {
        const QString suffix = QFileInfo(url.toLocalFile()).suffix();
        if (url.isLocalFile() && (suffix.compare(QLatin1String("tvs"), Qt::CaseInsensitive) == 0 ||
                                  suffix.compare(QLatin1String("vbs"), Qt::CaseInsensitive) == 0))
            return url.toLocalFile();
    }
    return {};
}

} // namespace

void TfmScript::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedScript(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfmScript::dropEvent(QDropEvent *event)
{
    const QString path = DroppedScript(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has ended, so that the file manager is not held by the question.
    QMetaObject::invokeMethod(this, [this, path] { OpenAfterQuestion(path); }, Qt::QueuedConnection);
}

void TfmScript::acShortcutsExecute()
{
    TfmShortcuts dialog(zeEditor->Keystrokes(), actions(), this);
    RunHelpDialog(dialog);
}

void TfmScript::acAboutExecute()
{
    TfmAbout dialog(this);
    RunHelpDialog(dialog);
}

void TfmScript::closeEvent(QCloseEvent *event)
{
    if (ConfirmDataLoss()) {
        m_guard->Discard();
        event->accept();
    } else {
        event->ignore();
    }
}

void TfmScript::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // After the activation has been handled, so that the question is not
    // asked from inside it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QMetaObject::invokeMethod(this, &TfmScript::CheckFileOnDisk, Qt::QueuedConnection);
}

void TfmScript::CheckFileOnDisk()
{
    if (m_checkingDisk || m_fileName.isEmpty())
        return;
    const QString name = QFileInfo(m_fileName).fileName();
    switch (m_disk.Check()) {
    case dsSame: return;
    case dsDeleted:
        // The text is now nowhere but here: modified, so that closing asks.
        m_deletedOnDisk = true;
        UpdateCaption();
        zeEditor->SetModified(true);
        m_guard->DocumentChanged();
        UpdateActionStates();
        return;
    case dsChanged: break;
    }
    if (m_deletedOnDisk) {
        m_deletedOnDisk = false; // it is back
        UpdateCaption();
    }
    const bool modified = zeEditor->Modified();
    QString question = QStringLiteral("%1 was changed outside Quenlo. Reload it?").arg(name);
    if (modified)
        question += QStringLiteral("\nYour unsaved changes would be lost.");
    m_checkingDisk = true;
    const int answer = m_dialogs.MessageDlg(question, mtConfirmation, mbYes | mbNo, modified ? mbNo : mbYes);
    m_checkingDisk = false;
    if (answer != mrYes) {
        // The text kept is no longer what the file holds: closing must ask.
        zeEditor->SetModified(true);
        m_guard->DocumentChanged();
        UpdateActionStates();
        return;
    }
    const TPoint caret = zeEditor->CaretXY();
    const int top = zeEditor->TopLine();
    if (OpenFile(m_fileName)) {
        zeEditor->SetCaretXY(caret); // clamped to the new text
        zeEditor->SetTopLine(top);
    }
}

TRecoverySnapshot TfmScript::MakeSnapshot() const
{
    TRecoverySnapshot snapshot;
    snapshot.FileName = m_fileName.toUtf8().toStdString();
    snapshot.Name = m_script->Name();
    snapshot.Menu = m_script->Menu();
    snapshot.ID = m_script->ID();
    snapshot.Hint = m_script->Hint();
    snapshot.Main = m_script->Main();
    snapshot.Icon = m_script->Icon().Bytes();
    const TzeEditList &lines = zeEditor->Lines();
    snapshot.Lines.reserve(std::size_t(lines.Count()));
    for (int i = 0; i < lines.Count(); ++i)
        snapshot.Lines.emplace_back(lines[i]);
    snapshot.CaretX = zeEditor->CaretX();
    snapshot.CaretY = zeEditor->CaretY();
    snapshot.TopLine = zeEditor->TopLine();
    return snapshot;
}

void TfmScript::RecoverSnapshot(const TRecoverySnapshot &snapshot)
{
    m_script->Clear();
    m_script->SetName(snapshot.Name);
    m_script->SetMenu(snapshot.Menu);
    m_script->SetID(snapshot.ID);
    m_script->SetHint(snapshot.Hint);
    m_script->SetMain(snapshot.Main);
    QString iconLost;
    if (!snapshot.Icon.empty()) {
        try {
            m_script->Icon().LoadFromBytes(snapshot.Icon);
        } catch (const std::exception &error) {
            iconLost = QString::fromLocal8Bit(error.what());
        }
    }
    for (const std::string &line : snapshot.Lines)
        m_script->Lines().Add(line);
    const QString path = QString::fromUtf8(snapshot.FileName.c_str());
    const QFileInfo file(path);
    SetFileName(path, !path.isEmpty() && file.exists() && !file.isWritable());
    if (!path.isEmpty() && !file.exists()) {
        m_deletedOnDisk = true;
        UpdateCaption();
    }
    zeEditor->Document().TakeLines(m_script->Lines());
    zeEditor->SetModified(true);
    zeEditor->SetCaretXY({snapshot.CaretX, snapshot.CaretY});
    zeEditor->SetTopLine(snapshot.TopLine);
    UpdateActionStates();
    zeEditorSelectionChange();
    m_guard->WriteNow(); // the recovered text is this window's to keep now
    if (!iconLost.isEmpty())
        statusBar()->showMessage(QStringLiteral("The icon could not be recovered: ") + iconLost, kStatusMessageTime);
}

void TfmScript::OfferRecovery()
{
    const std::string folder = QFile::encodeName(TDocumentGuard::Folder()).toStdString();
    std::vector<TRecoveryClaim> claims = ClaimOrphanSnapshots(folder);
    // This window takes the first recovered document while it holds nothing of the user's.
    bool windowFree = !zeEditor->Modified() && m_fileName.isEmpty();
    for (TRecoveryClaim &claim : claims) {
        TRecoverySnapshot snapshot;
        std::string reason;
        if (!claim.Read(snapshot, reason)) {
            const std::string aside = claim.KeepAside();
            m_dialogs.MessageDlg(QStringLiteral("Unsaved changes that Quenlo kept could not be read (%1). "
                                                "They were left in %2.")
                                     .arg(QString::fromLocal8Bit(reason.c_str()),
                                          QDir::toNativeSeparators(QFile::decodeName(aside.c_str()))),
                                 mtError, mbOK);
            continue;
        }
        TfmRecoveryPrompt prompt(QFileInfo(QString::fromUtf8(snapshot.FileName.c_str())).fileName(), this);
        switch (RunRecoveryPrompt(prompt)) {
        case TfmRecoveryPrompt::raRecover: {
            TfmScript *target = this;
            if (!windowFree) {
                target = new TfmScript({}, m_dialogs);
                target->setAttribute(Qt::WA_DeleteOnClose);
                target->show();
            }
            windowFree = false;
            target->RecoverSnapshot(snapshot);
            // Kept by its new window now; the old snapshot goes only once that one is written.
            if (target->Guard().HasSnapshot())
                claim.Delete();
            break;
        }
        case TfmRecoveryPrompt::raDiscard: claim.Delete(); break;
        default: break; // Later: kept for the next start
        }
    }
}
