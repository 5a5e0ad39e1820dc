// zeHighlighter.h: the highlighter framework.
// TzeHighLightAttributes holds the colours and font style of one token kind;
// TzeCustomHighLighter is the scanning interface that the editor's line list
// and painter drive, with its sorted attributes; TzeEditorList holds the
// editors attached to one highlighter.
#ifndef QUENLO_HIGHLIGHT_ZEHIGHLIGHTER_H
#define QUENLO_HIGHLIGHT_ZEHIGHLIGHTER_H

#include <bitset>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "toolkit/Registry.h"

class TzeCustomHighLighter;

// One bit per 8-bit character code.
using TzeIdentChars = std::bitset<256>;

// Colours and font style of one kind of token, under a name that is also its
// registry subkey and its caption in the options dialog.
class TzeHighLightAttributes {
public:
    using TNotifyEvent = std::function<void(TzeHighLightAttributes *sender)>;

    // Background: window background, foreground: window text, style empty.
    explicit TzeHighLightAttributes(std::string name);
    virtual ~TzeHighLightAttributes();
    TzeHighLightAttributes(const TzeHighLightAttributes &) = delete;
    TzeHighLightAttributes &operator=(const TzeHighLightAttributes &) = delete;

    // Copies colours, style and name without calling OnChange: whoever copies
    // into a highlighter in use repaints its editors.
    virtual void Assign(const TzeHighLightAttributes &source);
    // Reads the colours that another editor stores per attribute: oldStyle
    // true reads the comma-separated value attrName of the key attrKey, false
    // the key attrKey\attrName. False on any error, on a missing value and on
    // a colour number outside 0..15, leaving the attribute unchanged.
    virtual bool ImportFromRegistry(TRootKey rootKey, const std::string &attrKey,
                                    const std::string &attrName, bool oldStyle);

    TColor Background() const noexcept { return m_background; }
    void SetBackground(TColor value);
    TColor Foreground() const noexcept { return m_foreground; }
    void SetForeground(TColor value);
    TFontStyles Style() const noexcept { return m_style; }
    void SetStyle(TFontStyles value);
    // Style as bits 0..3 (bold, italic, underline, strike-out). Writing sets
    // bold or nothing first, then adds each further style separately, so one
    // write may call OnChange several times.
    int IntegerStyle() const noexcept { return int(m_style.Bits()); }
    void SetIntegerStyle(int value);

    const std::string &Name() const noexcept { return m_name; }

    // Reads "Background", "Foreground" and "Style" of the subkey Name below
    // the registry's current key; a missing value leaves its property as it
    // is. False when the subkey is missing. The current key is restored.
    bool LoadFromRegistry(TBetterRegistry &registry);
    // Writes the three values into the subkey Name, creating it; false when
    // it cannot be opened. The current key is restored.
    bool SaveToRegistry(TBetterRegistry &registry);

    // After a setter changed Background, Foreground or Style.
    TNotifyEvent OnChange;

private:
    void Changed();

    TColor m_background = clWindow;
    TColor m_foreground = clWindowText;
    TFontStyles m_style;
    std::string m_name;
};

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

// GetCapabilities bits: the highlighter can import another editor's settings;
// it keeps its attributes in the registry.
using TzeHighlighterCapabilities = unsigned;
inline constexpr TzeHighlighterCapabilities hcImportSettings = 1;
inline constexpr TzeHighlighterCapabilities hcRegistry = 2;

class TzeCustomHighLighter {
public:
    using TTokenEvent = std::function<void(TzeCustomHighLighter *sender, int tokenKind,
                                           const std::string &tokenText, int lineNo)>;

    TzeCustomHighLighter();
    // Tells the attached editors, then frees the attributes, last first.
    virtual ~TzeCustomHighLighter();
    TzeCustomHighLighter(const TzeCustomHighLighter &) = delete;
    TzeCustomHighLighter &operator=(const TzeCustomHighLighter &) = delete;

    // Word characters: 33..255 in the base.
    virtual TzeIdentChars GetIdentChars() const;
    // Empty in the base.
    virtual std::string GetLanguageName() const;
    // Attributes sorted by name without regard to case; this rank is the
    // order of every loop over attributes.
    virtual int AttrCount() const;
    // None when index is outside 0 .. AttrCount-1.
    virtual TzeHighLightAttributes *Attribute(int index) const;
    // hcRegistry in the base.
    virtual TzeHighlighterCapabilities GetCapabilities() const;

    // Scanning interface. SetLine positions on the first token of Text (the
    // scanner keeps its own copy, so text may change afterwards). SetLine and
    // Next apply the current token's attribute to the canvas given by
    // SetCanvas, when there is one.
    virtual bool GetEol() const = 0;
    virtual int GetRange() const = 0;
    virtual std::string GetToken() const = 0;
    virtual int GetTokenKind() const = 0;
    virtual int GetTokenPos() const = 0;
    virtual void Next() = 0;
    virtual void SetCanvas(TCanvas *canvas) = 0;
    virtual void SetLine(std::string_view text, int lineIndex) = 0;
    virtual void SetRange(int range) = 0;
    virtual void ResetRange() = 0;
    // Whether the range a line ends in follows from the range it starts in
    // alone, whatever its text; if so, range (the start) becomes that end
    // range, as SetRange, a scan of any line and GetRange would give it.
    // A highlighter that answers true is never made to scan a line only to
    // learn its range.
    virtual bool RangeAfterAnyLine(int &range) const;

    // One subkey per attribute below key. Loading stops (false) at the first
    // attribute whose subkey is missing, leaving the rest unchanged; false
    // when key is missing. A wrong-typed value raises ERegistryException.
    virtual bool LoadFromRegistry(TRootKey rootKey, const std::string &key);
    // Creates key when missing; false when it cannot be opened.
    virtual bool SaveToRegistry(TRootKey rootKey, const std::string &key);

    // Calls Next until GetEol.
    void NextToEol();

    TzeEditorList &Editors() noexcept { return m_editors; }

    // File-dialog filter for the language, "Name (*.ext)|*.EXT".
    const std::string &DefaultFilter() const noexcept { return m_defaultFilter; }
    void SetDefaultFilter(const std::string &value);

    // Published for form files; nothing fires it.
    TTokenEvent OnToken;

protected:
    // Takes the attribute into the sorted list and returns it; an attribute
    // whose name is already listed is not added: it is freed and the result
    // is none.
    TzeHighLightAttributes *AddAttribute(std::unique_ptr<TzeHighLightAttributes> attribute);
    void SetAttributesOnChange(const TzeHighLightAttributes::TNotifyEvent &handler);
    // The change handler of the attributes: repaints every attached editor.
    void AttributeChanged(TzeHighLightAttributes *sender);
    // Brush colour, font colour and font style, each assigned only when it
    // differs from the canvas's current value.
    static void ApplyAttribute(TCanvas &canvas, const TzeHighLightAttributes &attribute);

private:
    std::vector<std::unique_ptr<TzeHighLightAttributes>> m_attributes;
    TzeEditorList m_editors;
    std::string m_defaultFilter;
};

inline void TzeCustomHighLighter::ApplyAttribute(TCanvas &canvas, const TzeHighLightAttributes &attribute)
{
    if (canvas.BrushColor() != attribute.Background())
        canvas.SetBrushColor(attribute.Background());
    if (canvas.FontColor() != attribute.Foreground())
        canvas.SetFontColor(attribute.Foreground());
    if (canvas.FontStyle() != attribute.Style())
        canvas.SetFontStyle(attribute.Style());
}

#endif
