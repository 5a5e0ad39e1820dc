// jaVBSSyn.h: the VBScript highlighter.
// TjaVbsSyn is a table-driven single-line scanner: comments, identifiers,
// reserved words, numbers, spaces, strings (and dates) and symbols, each drawn
// with its own attribute. No VBScript construct here spans lines.
#ifndef QUENLO_HIGHLIGHT_JAVBSSYN_H
#define QUENLO_HIGHLIGHT_JAVBSSYN_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "highlight/zeHighlighter.h"

// The values of GetTokenKind; tkUnknown is never produced.
enum TtkTokenKind : std::uint8_t {
    tkComment,
    tkIdentifier,
    tkKey,
    tkNull,
    tkNumber,
    tkSpace,
    tkString,
    tkSymbol,
    tkUnknown
};

class TjaVbsSyn : public TzeCustomHighLighter {
public:
    TjaVbsSyn();
    ~TjaVbsSyn() override;

    // Digits, letters and the underscore.
    TzeIdentChars GetIdentChars() const override;
    std::string GetLanguageName() const override;
    TzeHighlighterCapabilities GetCapabilities() const override;

    bool GetEol() const override { return m_tokenId == tkNull; }
    int GetRange() const override { return m_range; }
    std::string GetToken() const override;
    int GetTokenKind() const override { return m_tokenId; }
    int GetTokenPos() const override { return m_tokenPos; }
    void Next() override;
    void SetCanvas(TCanvas *canvas) override { m_canvas = canvas; }
    // Scans text in place up to its terminating 0.
    void SetLine(std::string_view text, int lineIndex) override;
    // Keeps the low 8 bits.
    void SetRange(int range) override { m_range = std::uint8_t(range); }
    void ResetRange() override { m_range = 1; }
    // No VBScript token spans a line end: scanning never changes the range.
    bool RangeAfterAnyLine(int &range) const override
    {
        range = std::uint8_t(range);
        return true;
    }

    // Owned by the attribute list of the base.
    TzeHighLightAttributes *CommentAttri() const noexcept { return m_commentAttri; }
    TzeHighLightAttributes *IdentifierAttri() const noexcept { return m_identifierAttri; }
    TzeHighLightAttributes *KeyAttri() const noexcept { return m_keyAttri; }
    TzeHighLightAttributes *NumberAttri() const noexcept { return m_numberAttri; }
    TzeHighLightAttributes *SpaceAttri() const noexcept { return m_spaceAttri; }
    TzeHighLightAttributes *StringAttri() const noexcept { return m_stringAttri; }
    TzeHighLightAttributes *SymbolAttri() const noexcept { return m_symbolAttri; }

private:
    using TScanProc = void (TjaVbsSyn::*)();
    // The keywords of one hash value, compared in this order.
    struct TKeywordSlot {
        std::array<std::string_view, 3> words;
        int count = 0;
    };

    void InitKeywordTable();
    void InitCharTable();
    bool KeyComp(std::string_view keyword) const noexcept;
    TtkTokenKind KeywordKind(int keyHash) const noexcept;

    void NullProc();
    void SpaceProc();
    void LFProc();
    void CRProc();
    void CommentProc();
    void StringProc();
    void DateProc();
    void NumberProc();
    void IdentProc();
    void LowerProc();
    void GreaterProc();
    void SymbolProc();
    void UnknownProc();
    // Runs to and including the next closing character, or to the line end.
    void QuotedProc(char closing);

    TCanvas *m_canvas = nullptr;
    std::uint8_t m_range = 1;
    // The line being scanned, NUL-terminated: the scan stops at the NUL.
    std::string m_lineText;
    const char *m_line = "";
    int m_lineNumber = 0;
    std::array<TScanProc, 256> m_charTable{};
    // 0-based scan position in m_line.
    int m_run = 0;
    int m_stringLen = 0;
    const char *m_toIdent = nullptr;
    int m_tokenPos = 0;
    TtkTokenKind m_tokenId = tkNull;
    TzeHighLightAttributes *m_commentAttri = nullptr;
    TzeHighLightAttributes *m_identifierAttri = nullptr;
    TzeHighLightAttributes *m_keyAttri = nullptr;
    TzeHighLightAttributes *m_numberAttri = nullptr;
    TzeHighLightAttributes *m_spaceAttri = nullptr;
    TzeHighLightAttributes *m_stringAttri = nullptr;
    TzeHighLightAttributes *m_symbolAttri = nullptr;
    // Indexed by hash value 0..133.
    std::array<TKeywordSlot, 134> m_keywordTable{};
    // The attribute drawn for each token kind; none for the end of the line.
    std::array<TzeHighLightAttributes *, 9> m_kindAttri{};
};

#endif
