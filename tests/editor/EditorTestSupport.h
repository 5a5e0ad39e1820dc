// EditorTestSupport.h: helpers shared by the editor tests.
// TBraceHighlighter is a small highlighter whose range state crosses line
// ends ('{' opens a block, '}' closes it), so rescans have something to carry;
// TTestEdit opens the editor's protected parts to the tests.
#ifndef QUENLO_TESTS_EDITOR_EDITORTESTSUPPORT_H
#define QUENLO_TESTS_EDITOR_EDITORTESTSUPPORT_H

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>

#include "highlight/zeHighlighter.h"
#include "editor/zeCustomEdit.h"
#include "tests/document/DocumentTestSupport.h"

class TBraceHighlighter : public TzeCustomHighLighter {
public:
    // Every character is one token; the range is 1 inside braces.
    bool GetEol() const override { return m_pos >= m_line.size(); }
    int GetRange() const override { return m_range; }
    std::string GetToken() const override { return std::string(1, m_line[m_pos]); }
    int GetTokenKind() const override { return m_range; }
    int GetTokenPos() const override { return int(m_pos); }
    void Next() override
    {
        if (m_pos >= m_line.size())
            return;
        if (m_line[m_pos] == '{')
            m_range = 1;
        else if (m_line[m_pos] == '}')
            m_range = 0;
        ++m_pos;
    }
    void SetCanvas(TCanvas *) override {}
    void SetLine(std::string_view text, int lineIndex) override
    {
        m_line = text;
        m_pos = 0;
        ScannedLines.push_back(lineIndex);
    }
    void SetRange(int range) override { m_range = range; }
    void ResetRange() override { m_range = 0; }
    // Letters, digits and the underscore.
    TzeIdentChars GetIdentChars() const override
    {
        TzeIdentChars chars;
        for (int c = 0; c < 256; ++c)
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')
                chars.set(size_t(c));
        return chars;
    }

    // The 0-based index of every line handed to SetLine, in order.
    std::vector<int> ScannedLines;

private:
    std::string m_line;
    size_t m_pos = 0;
    int m_range = 0;
};

class TTestEdit : public TzeCustomEdit {
public:
    using TzeCustomEdit::TzeCustomEdit;
    using TzeCustomEdit::m_handleAllocated;
};

// The viewport painted at a device-pixel ratio, as a window at that scale shows it.
inline QImage Render(TzeCustomEdit &edit, qreal ratio = 1)
{
    const QSize size = edit.viewport()->size();
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    edit.Paint(painter, QRect(QPoint(0, 0), size));
    return image;
}

// Selects from one anchor to the other, in the order given.
inline void Select(TzeCustomEdit &edit, TPoint from, TPoint to)
{
    edit.SetBlockBegin(from);
    edit.SetBlockEnd(to);
}

// An editor in Liberation Mono on white with a blue selection, shown
// offscreen with a viewport of columns x rows cells and the focus.
inline void Prepare(TzeCustomEdit &edit, int columns, int rows)
{
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(13);
    edit.SetFont(font);
    edit.SetColor(clWhite);
    edit.SetFontColor(clBlack);
    edit.SelectedColor().SetBackground(clBlue);
    edit.SelectedColor().SetForeground(clWhite);
    edit.SetRightEdge(0);
    edit.show();
    const QSize extra = edit.size() - edit.viewport()->size();
    edit.resize(edit.GutterWidth() + 2 + columns * edit.CharWidth() + extra.width(),
                rows * edit.LineHeight() + extra.height());
    edit.activateWindow();
    edit.setFocus();
    QApplication::processEvents();
}

#endif
