// uCompletion.h: help while typing VBScript in the main window's editor: the
// completion list under the caret (keywords, built-in functions and
// constants, the script's own names from the last parse) and the parameter
// hint of the call the caret is in. TCodeAssist watches the editor's keys;
// the editor keeps the keyboard focus throughout.
// CompletionNames, TSignature, SignatureOf, HintHtml, TCodeAssist.
#ifndef QUENLO_APP_UCOMPLETION_H
#define QUENLO_APP_UCOMPLETION_H

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QObject>
#include <QString>

#include "editor/zeCustomEdit.h"
#include "vbscript/VbsOutline.h"

class QLabel;
class QListView;
class TNameListModel;

// The names the list offers on line (1-based) of the script that outline
// describes: the script's classes and procedures, its names declared at the
// top, in the class and in the procedure of that line (parameters
// included), then VBScript's functions, constants and keywords; sorted with
// letter case ignored, each once (a script's name before a built-in one).
std::vector<std::string> CompletionNames(const vbs::Outline &outline, int line);

// A parameter list shown by the hint: the text and where each parameter's
// name stands in it (0-based byte offsets).
struct TSignature {
    std::string Text;
    std::vector<std::pair<int, int>> Parameters; // offset, length
    bool Variadic = false;
};
// The signature of name: a built-in function, else a procedure of the
// script (letter case ignored); none for other names.
std::optional<TSignature> SignatureOf(std::string_view name, const vbs::Outline &outline);
// The signature as rich text with the parameter of argument (0-based) in
// bold; past the last one, the last of a variadic function.
QString HintHtml(const TSignature &signature, int argument);

class TCodeAssist : public QObject {
public:
    // outline gives the last parse of the editor's text (never a new one).
    // Owned by editor from here on.
    TCodeAssist(TzeCustomEdit &editor, std::function<const vbs::Outline &()> outline);
    ~TCodeAssist() override;

    // Typing the third letter of a name opens the list ("Complete names while typing").
    bool AutoOpen() const noexcept { return m_autoOpen; }
    void SetAutoOpen(bool value);

    // --- The list
    // Opens the list for the name before the caret (Ctrl+Space); nothing
    // when no name starts so.
    void OpenList();
    void CloseList();
    bool ListVisible() const;
    // The names shown, in their order, and the chosen one's row.
    QStringList ListedNames() const;
    int CurrentRow() const;
    QListView *ListView() const noexcept { return m_view; }

    // --- The hint
    bool HintVisible() const;
    QString HintText() const;
    QLabel *HintLabel() const noexcept { return m_hint; }
    void CloseHint();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The key is the list's or the hint's (true) or goes on to the editor.
    bool ListKey(int key);
    // After the editor handled a key that typed text.
    void AfterKey(const QString &text);
    // The list follows the name typed: filtered by it (true), or closed once
    // the caret has left it or no name starts so.
    bool Refresh();
    void MoveRow(int delta);
    // The chosen name (empty when none), and what was typed of the name so far.
    std::string CurrentName() const;
    std::string PrefixTyped() const;
    void InsertCurrent();
    void PlaceBelowCaret(QWidget *popup) const;
    // The hint of the call at the caret; opening: only right after its '('
    // or blank.
    void UpdateHint(bool opening);
    bool ShowTipAt(QPoint pos);

    TzeCustomEdit &m_editor;
    QWidget *m_viewport; // the editor's, watched for the mouse
    std::function<const vbs::Outline &()> m_outline;
    bool m_autoOpen = true;
    bool m_delivering = false; // a key on its way to the editor

    // The list: every name (sorted, as CompletionNames gives them) and their
    // folded forms for the prefix search; the rows shown are a range of them.
    std::vector<std::string> m_names;
    std::vector<std::string> m_folded;
    TNameListModel *m_model = nullptr;
    QListView *m_view = nullptr;
    TPoint m_start; // where the name being completed starts

    QLabel *m_hint = nullptr;
    TPoint m_callName; // the start of the name whose hint is shown
};

#endif
