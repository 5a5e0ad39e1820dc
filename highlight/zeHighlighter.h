// zeHighlighter.h: the highlighter framework.
// TzeCustomHighLighter is the scanning interface that the editor's line list
// and painter drive; TzeEditorList holds the editors attached to one highlighter.
#ifndef QUENLO_HIGHLIGHT_ZEHIGHLIGHTER_H
#define QUENLO_HIGHLIGHT_ZEHIGHLIGHTER_H

#include <bitset>
#include <string>
#include <vector>

class TCanvas;
class TzeCustomHighLighter;

// One bit per 8-bit character code.
using TzeIdentChars = std::bitset<256>;

// What a highlighter needs of an attached editor.
class IzeHighlighterClient {
public:
    virtual ~IzeHighlighterClient() = default;
    // Repaint the whole window (an attribute changed).
    virtual void HighlighterChanged() = 0;
    // The highlighter is going away: forget the reference to it.
    virtual void HighlighterDestroyed(TzeCustomHighLighter *highlighter) = 0;
};

// The editors attached to one highlighter, not owned.
class TzeEditorList {
public:
    void AddEditor(IzeHighlighterClient *editor);
    void RemoveEditor(IzeHighlighterClient *editor);
    // Asks every editor, in list order, to repaint its whole window.
    void InvalidateAll() const;
    int Count() const noexcept { return int(m_editors.size()); }
    IzeHighlighterClient *Items(int index) const { return m_editors.at(size_t(index)); }

private:
    std::vector<IzeHighlighterClient *> m_editors;
};

class TzeCustomHighLighter {
public:
    TzeCustomHighLighter();
    virtual ~TzeCustomHighLighter();
    TzeCustomHighLighter(const TzeCustomHighLighter &) = delete;
    TzeCustomHighLighter &operator=(const TzeCustomHighLighter &) = delete;

    // Word characters: 33..255 in the base.
    virtual TzeIdentChars GetIdentChars() const;

    // Scanning interface. SetLine positions on the first token of Text; the
    // text must stay alive and unchanged until the next SetLine.
    virtual bool GetEol() const = 0;
    virtual int GetRange() const = 0;
    virtual std::string GetToken() const = 0;
    virtual int GetTokenKind() const = 0;
    virtual int GetTokenPos() const = 0;
    virtual void Next() = 0;
    virtual void SetCanvas(TCanvas *canvas) = 0;
    virtual void SetLine(const std::string &text, int lineIndex) = 0;
    virtual void SetRange(int range) = 0;
    virtual void ResetRange() = 0;

    // Calls Next until GetEol.
    void NextToEol();

    TzeEditorList &Editors() noexcept { return m_editors; }

private:
    TzeEditorList m_editors;
};

#endif
