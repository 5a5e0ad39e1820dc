// zeHighlighter.cpp: highlighter base and its editor list.
#include "highlight/zeHighlighter.h"

#include <algorithm>

void TzeEditorList::AddEditor(IzeHighlighterClient *editor)
{
    if (editor && std::find(m_editors.begin(), m_editors.end(), editor) == m_editors.end())
        m_editors.push_back(editor);
}

void TzeEditorList::RemoveEditor(IzeHighlighterClient *editor)
{
    auto it = std::find(m_editors.begin(), m_editors.end(), editor);
    if (it != m_editors.end())
        m_editors.erase(it);
}

void TzeEditorList::InvalidateAll() const
{
    // A copy: an editor may detach itself while repainting.
    const auto editors = m_editors;
    for (IzeHighlighterClient *editor : editors)
        editor->HighlighterChanged();
}

TzeCustomHighLighter::TzeCustomHighLighter() = default;

TzeCustomHighLighter::~TzeCustomHighLighter()
{
    const auto count = m_editors.Count();
    std::vector<IzeHighlighterClient *> editors;
    for (int i = 0; i < count; ++i)
        editors.push_back(m_editors.Items(i));
    for (IzeHighlighterClient *editor : editors)
        editor->HighlighterDestroyed(this);
}

TzeIdentChars TzeCustomHighLighter::GetIdentChars() const
{
    TzeIdentChars chars;
    for (int c = 33; c < 256; ++c)
        chars.set(size_t(c));
    return chars;
}

void TzeCustomHighLighter::NextToEol()
{
    while (!GetEol())
        Next();
}
