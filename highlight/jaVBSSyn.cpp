// jaVBSSyn.cpp: the VBScript scanner, its dispatch and character tables and
// its reserved-word hash.
#include "highlight/jaVBSSyn.h"

#include <memory>

namespace {

// Shared by all instances, one entry per 8-bit character code.
struct TCharTables {
    std::array<bool, 256> identifierChars{};
    // A letter's upper-case code minus 64, the underscore 31, all else 0.
    std::array<std::uint8_t, 256> hashValue{};
    // Characters that make up a run of spaces: controls other than 0, LF and
    // CR, and the space itself.
    std::array<bool, 256> spaceChars{};
};

constexpr TCharTables MakeCharTables()
{
    TCharTables tables;
    for (int c = 0; c < 256; ++c) {
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        tables.identifierChars[size_t(c)] = upper || lower || c == '_' || (c >= '0' && c <= '9');
        if (upper)
            tables.hashValue[size_t(c)] = std::uint8_t(c - 64);
        else if (lower)
            tables.hashValue[size_t(c)] = std::uint8_t(c - 32 - 64);
        else if (c == '_')
            tables.hashValue[size_t(c)] = std::uint8_t(c - 64);
        tables.spaceChars[size_t(c)] = c >= 1 && c <= 32 && c != 10 && c != 13;
    }
    return tables;
}

constexpr TCharTables kTables = MakeCharTables();

constexpr int KeyHash(std::string_view word)
{
    int hash = 0;
    for (unsigned char c : word)
        hash += kTables.hashValue[c];
    return hash;
}

struct TKeyword {
    int hash;
    std::string_view word;
};

// The reserved words by hash value; within one value, in comparison order.
constexpr std::array<TKeyword, 42> kKeywords = {{
    {15, "If"},        {17, "Each"},     {19, "Do"},       {19, "And"},     {23, "End"},
    {26, "Dim"},       {28, "Case"},     {28, "Call"},     {28, "Is"},      {29, "On"},
    {32, "Mod"},       {32, "Get"},      {33, "Or"},       {36, "Rem"},     {37, "Let"},
    {38, "Imp"},       {39, "For"},      {41, "Else"},     {42, "Sub"},     {44, "Eqv"},
    {44, "Set"},       {46, "Wend"},     {47, "Then"},     {48, "Erase"},   {49, "ReDim"},
    {49, "Not"},       {54, "Class"},    {57, "Xor"},      {57, "While"},   {58, "Loop"},
    {58, "Exit"},      {63, "Next"},     {63, "Public"},   {64, "Select"},  {71, "Const"},
    {74, "Error"},     {89, "Option"},   {91, "Private"},  {98, "Explicit"}, {102, "Function"},
    {105, "Randomize"}, {133, "property"},
}};

constexpr bool KeywordHashesMatch()
{
    for (const TKeyword &keyword : kKeywords)
        if (KeyHash(keyword.word) != keyword.hash)
            return false;
    return true;
}
static_assert(KeywordHashesMatch(), "a reserved word is filed under the wrong hash value");

} // namespace

TjaVbsSyn::TjaVbsSyn()
{
    auto comment = std::make_unique<TzeHighLightAttributes>("comment");
    auto identifier = std::make_unique<TzeHighLightAttributes>("identifier");
    auto key = std::make_unique<TzeHighLightAttributes>("reserved word");
    auto number = std::make_unique<TzeHighLightAttributes>("number");
    auto space = std::make_unique<TzeHighLightAttributes>("space");
    auto string = std::make_unique<TzeHighLightAttributes>("string");
    auto symbol = std::make_unique<TzeHighLightAttributes>("symbol");
    comment->SetStyle(fsItalic);
    key->SetStyle(fsBold);
    m_commentAttri = AddAttribute(std::move(comment));
    m_identifierAttri = AddAttribute(std::move(identifier));
    m_keyAttri = AddAttribute(std::move(key));
    m_numberAttri = AddAttribute(std::move(number));
    m_spaceAttri = AddAttribute(std::move(space));
    m_stringAttri = AddAttribute(std::move(string));
    m_symbolAttri = AddAttribute(std::move(symbol));
    SetAttributesOnChange([this](TzeHighLightAttributes *sender) { AttributeChanged(sender); });
    m_range = 1;
    SetDefaultFilter("VBScript files (*.vbs)|*.VBS");
    m_kindAttri = {m_commentAttri, m_identifierAttri, m_keyAttri, nullptr, m_numberAttri,
                   m_spaceAttri,   m_stringAttri,     m_symbolAttri, m_identifierAttri};
    InitKeywordTable();
    InitCharTable();
}

TjaVbsSyn::~TjaVbsSyn() = default;

void TjaVbsSyn::InitKeywordTable()
{
    for (const TKeyword &keyword : kKeywords) {
        TKeywordSlot &slot = m_keywordTable[size_t(keyword.hash)];
        slot.words[size_t(slot.count++)] = keyword.word;
    }
}

void TjaVbsSyn::InitCharTable()
{
    for (int c = 0; c < 256; ++c) {
        TScanProc proc = &TjaVbsSyn::UnknownProc;
        if (c == 0)
            proc = &TjaVbsSyn::NullProc;
        else if (c == 10)
            proc = &TjaVbsSyn::LFProc;
        else if (c == 13)
            proc = &TjaVbsSyn::CRProc;
        else if (kTables.spaceChars[size_t(c)])
            proc = &TjaVbsSyn::SpaceProc;
        else if (c == '\'')
            proc = &TjaVbsSyn::CommentProc;
        else if (c == '"')
            proc = &TjaVbsSyn::StringProc;
        else if (c == '#')
            proc = &TjaVbsSyn::DateProc;
        else if (c >= '0' && c <= '9')
            proc = &TjaVbsSyn::NumberProc;
        else if (kTables.identifierChars[size_t(c)])
            proc = &TjaVbsSyn::IdentProc;
        else if (c == '<')
            proc = &TjaVbsSyn::LowerProc;
        else if (c == '>')
            proc = &TjaVbsSyn::GreaterProc;
        else if (std::string_view("&()*+,-./:;=^{}").find(char(c)) != std::string_view::npos)
            proc = &TjaVbsSyn::SymbolProc;
        m_charTable[size_t(c)] = proc;
    }
}

TzeIdentChars TjaVbsSyn::GetIdentChars() const
{
    TzeIdentChars chars;
    for (size_t c = 0; c < 256; ++c)
        chars[c] = kTables.identifierChars[c];
    return chars;
}

std::string TjaVbsSyn::GetLanguageName() const
{
    return "MS VBScript";
}

TzeHighlighterCapabilities TjaVbsSyn::GetCapabilities() const
{
    return hcImportSettings | hcRegistry;
}

std::string TjaVbsSyn::GetToken() const
{
    return std::string(m_line + m_tokenPos, size_t(m_run - m_tokenPos));
}

void TjaVbsSyn::SetLine(std::string_view text, int lineIndex)
{
    m_lineText.assign(text);
    m_line = m_lineText.c_str();
    m_run = 0;
    m_lineNumber = lineIndex;
    Next();
}

void TjaVbsSyn::Next()
{
    m_tokenPos = m_run;
    (this->*m_charTable[static_cast<unsigned char>(m_line[m_run])])();
    if (m_canvas)
        if (const TzeHighLightAttributes *attribute = m_kindAttri[m_tokenId])
            ApplyAttribute(*m_canvas, *attribute);
}

// Matching compares hash values, so letter case does not count.
bool TjaVbsSyn::KeyComp(std::string_view keyword) const noexcept
{
    if (int(keyword.size()) != m_stringLen)
        return false;
    const auto *ident = reinterpret_cast<const unsigned char *>(m_toIdent);
    for (size_t i = 0; i < keyword.size(); ++i)
        if (kTables.hashValue[ident[i]] != kTables.hashValue[static_cast<unsigned char>(keyword[i])])
            return false;
    return true;
}

TtkTokenKind TjaVbsSyn::KeywordKind(int keyHash) const noexcept
{
    const TKeywordSlot &slot = m_keywordTable[size_t(keyHash)];
    for (int i = 0; i < slot.count; ++i)
        if (KeyComp(slot.words[size_t(i)]))
            return tkKey;
    return tkIdentifier;
}

void TjaVbsSyn::NullProc()
{
    m_tokenId = tkNull;
}

void TjaVbsSyn::SpaceProc()
{
    m_tokenId = tkSpace;
    do
        ++m_run;
    while (kTables.spaceChars[static_cast<unsigned char>(m_line[m_run])]);
}

void TjaVbsSyn::LFProc()
{
    m_tokenId = tkSpace;
    ++m_run;
}

void TjaVbsSyn::CRProc()
{
    m_tokenId = tkSpace;
    ++m_run;
    if (m_line[m_run] == '\n')
        ++m_run;
}

void TjaVbsSyn::CommentProc()
{
    m_tokenId = tkComment;
    while (m_line[m_run] != 0 && m_line[m_run] != '\n' && m_line[m_run] != '\r')
        ++m_run;
}

void TjaVbsSyn::QuotedProc(char closing)
{
    m_tokenId = tkString;
    while (m_line[m_run] != 0 && m_line[m_run] != '\n' && m_line[m_run] != '\r') {
        ++m_run;
        if (m_line[m_run] == closing)
            break;
    }
    if (m_line[m_run] != 0)
        ++m_run;
}

// A string that opens with a doubled quote ("""x") stays one token; a quote
// doubled later ends it, so "a""b" scans as two strings.
void TjaVbsSyn::StringProc()
{
    if (m_line[m_run + 1] == '"' && m_line[m_run + 2] == '"')
        m_run += 2;
    QuotedProc('"');
}

void TjaVbsSyn::DateProc()
{
    QuotedProc('#');
}

// Digits, full stops and E: 1.5E3 is one number, 1e-5 is 1e, minus, 5.
void TjaVbsSyn::NumberProc()
{
    m_tokenId = tkNumber;
    ++m_run;
    for (;;) {
        const char c = m_line[m_run];
        if (!((c >= '0' && c <= '9') || c == '.' || c == 'E' || c == 'e'))
            break;
        ++m_run;
    }
}

void TjaVbsSyn::IdentProc()
{
    m_toIdent = m_line + m_run;
    const auto *start = reinterpret_cast<const unsigned char *>(m_toIdent);
    const unsigned char *end = start;
    int keyHash = 0;
    while (kTables.identifierChars[*end])
        keyHash += kTables.hashValue[*end++];
    m_stringLen = int(end - start);
    m_tokenId = keyHash <= 133 ? KeywordKind(keyHash) : tkIdentifier;
    m_run += m_stringLen;
}

// <, <= and <>.
void TjaVbsSyn::LowerProc()
{
    m_tokenId = tkSymbol;
    ++m_run;
    if (m_line[m_run] == '=' || m_line[m_run] == '>')
        ++m_run;
}

// > and >=.
void TjaVbsSyn::GreaterProc()
{
    m_tokenId = tkSymbol;
    ++m_run;
    if (m_line[m_run] == '=')
        ++m_run;
}

void TjaVbsSyn::SymbolProc()
{
    m_tokenId = tkSymbol;
    ++m_run;
}

void TjaVbsSyn::UnknownProc()
{
    m_tokenId = tkIdentifier;
    ++m_run;
}
