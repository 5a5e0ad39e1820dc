// zeBookmarks.cpp: the ten bookmarks of the editor, their options and the
// marker commands' operations.
#include <unordered_map>

#include "editor/zeCustomEdit.h"

// A mark of the editor's document; without an editor, of none.
TMark::TMark(TzeCustomEdit *owner)
{
    if (owner)
        m_document = owner->Document().m_self;
}

// The document knows no control: the controls tell which one shows it.
namespace {

std::unordered_map<const TzeDocument *, TzeCustomEdit *> &Showing()
{
    static std::unordered_map<const TzeDocument *, TzeCustomEdit *> showing;
    return showing;
}

} // namespace

void TzeCustomEdit::ShowDocument(const TzeDocument *document, TzeCustomEdit *editor)
{
    if (editor)
        Showing()[document] = editor;
    else
        Showing().erase(document);
}

TzeCustomEdit *TzeCustomEdit::ShowingDocument(const TzeDocument *document) noexcept
{
    const auto it = Showing().find(document);
    return it == Showing().end() ? nullptr : it->second;
}

TzeCustomEdit *TMark::Edit()
{
    return TzeCustomEdit::ShowingDocument(Document());
}

TzeCustomEdit *TMarkList::Owner() const noexcept
{
    return TzeCustomEdit::ShowingDocument(m_document);
}

TzeCustomEdit *TUndoList::Owner() const noexcept
{
    return TzeCustomEdit::ShowingDocument(m_document);
}

void TzeBookMarkOpt::SetGlyphsVisible(bool value)
{
    if (value != m_glyphsVisible) {
        m_glyphsVisible = value;
        if (m_owner)
            m_owner->InvalidateGutterLines(-1, -1);
    }
}

void TzeBookMarkOpt::SetLeftMargin(int value)
{
    if (value != m_leftMargin) {
        m_leftMargin = value;
        if (m_owner)
            m_owner->InvalidateGutterLines(-1, -1);
    }
}

void TzeBookMarkOpt::SetXoffset(int value)
{
    m_xoffset = value;
    if (m_owner)
        m_owner->viewport()->update();
}

void TzeCustomEdit::SetBookmarkImages(TImageList *value)
{
    if (value == m_glyphs.Images)
        return;
    if (m_glyphs.Images)
        disconnect(m_glyphs.Images, nullptr, this, nullptr);
    m_glyphs.Images = value;
    if (value)
        // Gone: every mark shows its built-in glyph again.
        connect(value, &QObject::destroyed, this, [this] {
            m_glyphs.Images = nullptr;
            InvalidateAll();
        });
    InvalidateGutterLines(-1, -1);
}

QPixmap TzeCustomEdit::BuiltinBookmarkBitmaps(int n) const
{
    return n >= 0 && n < kBookmarkCount ? m_glyphs.Builtin[size_t(n)] : QPixmap();
}

void TzeCustomEdit::SetBookmark(int n, int column, int line)
{
    if (!TzeDocument::IsBookmarkSlot(n) || line > LineCount())
        return;
    TMark *original = new TMark(this);
    original->SetLine(line);
    original->SetColumn(column);
    original->SetImageIndex(n);
    original->SetBookmarkNumber(n);
    original->SetVisible(true);
    original->SetInternalImage(!m_glyphs.Images);
    TMark *mark = original;
    if (OnPlaceBookmark)
        OnPlaceBookmark(mark);
    if (mark != original)
        delete original;
    if (!mark)
        return;
    m_doc->PlaceBookmark(n, mark);
}

void TzeCustomEdit::GotoBookmark(int n)
{
    if (!TzeDocument::IsBookmarkSlot(n) || !Bookmarks(n) || Bookmarks(n)->Line() > LineCount())
        return;
    const TMark &mark = *Bookmarks(n);
    SetCaretXY(TPoint{mark.Column(), mark.Line()});
    TPaintLockGuard lock(*this);
    if (m_view.CellOf(CaretXY()) < LeftChar())
        SetLeftChar(m_view.CellOf(CaretXY()));
    InvalidateGutterLines(-1, -1);
}
