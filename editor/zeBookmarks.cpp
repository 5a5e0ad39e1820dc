// zeBookmarks.cpp: the ten bookmarks of the editor, their options and the
// marker commands' operations.
#include "editor/zeCustomEdit.h"

// A mark of the editor's document; without an editor, of none.
TMark::TMark(TzeCustomEdit *owner)
{
    if (owner)
        m_document = owner->Document().m_self;
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
    if (value == m_bookmarkImages)
        return;
    if (m_bookmarkImages)
        disconnect(m_bookmarkImages, nullptr, this, nullptr);
    m_bookmarkImages = value;
    if (value)
        // Gone: every mark shows its built-in glyph again.
        connect(value, &QObject::destroyed, this, [this] {
            m_bookmarkImages = nullptr;
            InvalidateAll();
        });
    InvalidateGutterLines(-1, -1);
}

QPixmap TzeCustomEdit::BuiltinBookmarkBitmaps(int n) const
{
    return n >= 0 && n < kBookmarkCount ? m_builtinBookmarkBitmaps[size_t(n)] : QPixmap();
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
    original->SetInternalImage(!m_bookmarkImages);
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
    if (CaretX() < LeftChar())
        SetLeftChar(CaretX());
    InvalidateGutterLines(-1, -1);
}
