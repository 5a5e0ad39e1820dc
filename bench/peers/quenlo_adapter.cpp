// quenlo_adapter.cpp: our editor control in the peer benchmark harness.
// TzeCustomEdit with the VBScript highlighter TjaVbsSyn, driven through the
// control's published API only; typed characters go through its key handling.
// "quenlo-check" is the same editor with the check as one types attached, as
// the main window has it (the check itself runs after a pause in typing,
// which the timed steps never leave). "quenlo-folding" has folding on.
#include "editor_adapter.h"

#include <memory>
#include <string>

#include "toolkit/Colors.h"
#include "toolkit/Win1252.h"
#include "highlight/jaVBSSyn.h"
#include "editor/zeCustomEdit.h"
#include "app/uLiveCheck.h"

namespace {

class QuenloAdapter : public peerbench::EditorAdapter {
public:
    ~QuenloAdapter() override
    {
        if (m_edit)
            m_edit->SetHighLighter(nullptr);
    }

    QString description() const override
    {
        return QStringLiteral("Quenlo TzeCustomEdit + TjaVbsSyn (range states kept per line; no gutter)");
    }

    QWidget *widget() override
    {
        if (!m_edit)
            create();
        return m_edit.get();
    }

    QWidget *viewportWidget() override { return widget(), m_edit->viewport(); }

    // SetText takes the text as opening a file does: caret to (1, 1), undo emptied.
    void load(const QString &text) override { m_edit->SetText(Win1252::FromUnicodeDropping(text)); }

    void insertChar(int line, int col, QChar ch) override
    {
        m_edit->SetCaretXY(TPoint{col + 1, line + 1});
        sendKey(m_edit.get(), ch.toUpper().unicode(), QString(ch));
    }

    void insertBlock(int line, int col, const QString &text) override
    {
        // Inserted at the caret as an undoable change, as a paste is; the
        // caret ends after the text and the view follows it.
        m_edit->SetCaretXY(TPoint{col + 1, line + 1});
        m_edit->SetSelText(Win1252::FromUnicodeDropping(text));
        m_edit->EnsureCursorPosVisible();
    }

    void deleteRange(int line1, int col1, int line2, int col2) override
    {
        m_edit->SetBlockBegin(TPoint{col1 + 1, line1 + 1});
        m_edit->SetBlockEnd(TPoint{col2 + 1, line2 + 1});
        m_edit->SetSelText(std::string());
    }

    void scrollToLine(int line) override
    {
        m_edit->SetCaretXY(TPoint{1, line + 1});
        m_edit->SetTopLine(line + 1);
    }

    int lineCount() const override { return m_edit->LineCount(); }

    QString lineText(int line) const override
    {
        if (line < 0 || line >= m_edit->LineCount())
            return QString();
        return Win1252::ToUnicode(m_edit->Lines()[line]);
    }

    int firstVisibleLine() const override { return m_edit->TopLine() - 1; }

protected:
    // What the editor gets besides its settings.
    virtual void attach(TzeCustomEdit &) {}

private:
    void create()
    {
        m_edit = std::make_unique<TzeCustomEdit>();
        TzeCustomEdit &e = *m_edit;
        e.SetFont(peerbench::BenchStyle::font());
        e.SetColor(QColorToColor(peerbench::BenchStyle::background()));
        e.SetFontColor(QColorToColor(peerbench::BenchStyle::text()));
        e.SetRightEdge(0);
        e.BookMarkOptions().SetGlyphsVisible(false);
        e.SetGutterWidth(0);

        TjaVbsSyn &h = m_highlighter;
        for (int i = 0; i < h.AttrCount(); ++i) {
            h.Attribute(i)->SetBackground(QColorToColor(peerbench::BenchStyle::background()));
            h.Attribute(i)->SetForeground(QColorToColor(peerbench::BenchStyle::text()));
            h.Attribute(i)->SetStyle(TFontStyles());
        }
        h.KeyAttri()->SetForeground(QColorToColor(peerbench::BenchStyle::keyword()));
        h.CommentAttri()->SetForeground(QColorToColor(peerbench::BenchStyle::comment()));
        h.StringAttri()->SetForeground(QColorToColor(peerbench::BenchStyle::string()));
        h.NumberAttri()->SetForeground(QColorToColor(peerbench::BenchStyle::number()));
        e.SetHighLighter(&h);
        attach(e);
    }

    // Declared first: it outlives the editor that uses it.
    TjaVbsSyn m_highlighter;
    std::unique_ptr<TzeCustomEdit> m_edit;
};

class QuenloCheckAdapter : public QuenloAdapter {
public:
    QString description() const override
    {
        return QuenloAdapter::description() + QStringLiteral(", check as you type on");
    }

protected:
    void attach(TzeCustomEdit &edit) override { new TLiveCheck(edit); } // owned by the editor
};

// Folding on, as the main window has it, with nothing folded: the regions
// kept current while typing and the gutter's fold column painted.
class QuenloFoldingAdapter : public QuenloAdapter {
public:
    QString description() const override { return QuenloAdapter::description() + QStringLiteral(", folding on"); }

protected:
    void attach(TzeCustomEdit &edit) override
    {
        // The gutter is the fold column alone.
        edit.Gutter().SetWidth(0);
        edit.SetFolding(true);
    }
};

} // namespace

PEERBENCH_REGISTER_ADAPTER("quenlo", QuenloAdapter);
PEERBENCH_REGISTER_ADAPTER("quenlo-folding", QuenloFoldingAdapter);
PEERBENCH_REGISTER_ADAPTER("quenlo-check", QuenloCheckAdapter);
