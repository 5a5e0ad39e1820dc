// DocumentTest.cpp: the document's editing primitives, marks, change notices
// and range states against a plain model of the text, without a window.
#include "editor/zeDocument.h"
#ifdef QT_VERSION
#error "the document must build without Qt"
#endif

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "DocumentTestSupport.h"

namespace {

void TrimmedRight(std::string &s)
{
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
        s.pop_back();
}

// The model: the same edits on a vector of lines, with '\n' as the only break.
void ModelInsert(TLines &lines, std::vector<int> &marks, TPoint p, const std::string &value)
{
    if (lines.empty())
        lines.emplace_back();
    const int y = std::clamp(p.Y, 1, int(lines.size())) - 1;
    std::string line = lines[size_t(y)];
    line.resize(std::max(line.size(), size_t(p.X - 1)), ' ');
    const std::string tail = line.substr(size_t(p.X - 1));
    TLines parts{""};
    for (char c : value) {
        if (c == '\n')
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    parts.front() = line.substr(0, size_t(p.X - 1)) + parts.front();
    parts.back() += tail;
    lines[size_t(y)] = parts.front();
    lines.insert(lines.begin() + y + 1, parts.begin() + 1, parts.end());
    for (int &m : marks)
        m += parts.size() > 1 && m >= y + 1 ? int(parts.size()) - 1 : 0;
}

void ModelDelete(TLines &lines, std::vector<int> &marks, TPoint b, TPoint e)
{
    const int n = int(lines.size());
    // An empty range changes nothing; one past the last line neither.
    if (b.Y > n || b == e)
        return;
    e.Y = std::min(e.Y, n);
    std::string joined = lines[size_t(b.Y - 1)];
    if (b.Y < e.Y) {
        // Joined at b's column, padded with blanks up to it.
        const std::string &last = lines[size_t(e.Y - 1)];
        joined.resize(size_t(b.X - 1), ' ');
        joined += last.substr(std::min(last.size(), size_t(e.X - 1)));
    } else if (size_t(b.X - 1) < joined.size()) {
        joined.erase(size_t(b.X - 1), size_t(std::max(0, e.X - b.X)));
    }
    TrimmedRight(joined);
    lines.erase(lines.begin() + b.Y, lines.begin() + e.Y);
    lines[size_t(b.Y - 1)] = joined;
    for (int &m : marks)
        m = m >= e.Y ? m - (e.Y - b.Y) : m > b.Y ? b.Y : m;
}

} // namespace

TEST(Document, RandomEditsFollowTheModelAndTheNoticesTellEveryChange)
{
    // Random insertions and deletions between random points (past line ends
    // and past the last line too) and lines put, inserted and deleted through
    // the list. After each step: the text equals the model's, the marks stand
    // where the model puts them, a copy kept only from the change notices
    // equals the text, a state read equals a scan of the whole text, and
    // EnsureRanges names the last state it changed.
    TzeDocument doc;
    TBraceScanner scanner;
    doc.SetRangeScanner(&scanner);
    doc.SetText("start\r\nb\r\nc");
    TLines model = LinesOf(doc.Lines());
    TLines shadow = model;
    doc.OnModified = [&](const TzeDocChange &c) {
        const auto at = shadow.begin() + c.FirstLine;
        switch (c.Kind) {
        case ckLineChanged: shadow[size_t(c.FirstLine)] = doc.Lines()[c.FirstLine]; break;
        case ckLineInserted:
        case ckLineAppended: shadow.insert(at, std::string(doc.Lines()[c.FirstLine])); break;
        case ckLineDeleted: shadow.erase(at); break;
        case ckCleared: shadow.clear(); break;
        case ckTextSet: shadow = LinesOf(doc.Lines()); break;
        }
        EXPECT_EQ(c.LinesAdded, c.Kind == ckLineInserted || c.Kind == ckLineAppended ? 1 : c.Kind == ckLineDeleted ? -1 : c.LinesAdded);
    };
    std::vector<TMark *> marks;
    std::vector<int> markLines;
    for (int n = 0; n < 3; ++n) {
        marks.push_back(new TMark(doc));
        marks.back()->SetLine(n + 1);
        doc.PlaceBookmark(n, marks.back());
        markLines.push_back(n + 1);
    }
    std::mt19937 random(4321);
    const char pieces[] = {'a', '{', '}', ' ', '\n', 'b'};
    const auto piece = [&](int maxLength) {
        std::string text;
        for (int i = int(random() % unsigned(maxLength)); i > 0; --i)
            text += pieces[random() % sizeof pieces];
        return text;
    };
    const auto point = [&](int count) { return TPoint{int(random() % 8) + 1, int(random() % unsigned(count + 1)) + 1}; };
    for (int round = 0; round < 20000; ++round) {
        const int count = doc.Lines().Count();
        const int line = int(random() % unsigned(count));
        switch (random() % 5) {
        case 0: {
            const TPoint p = point(count);
            const std::string text = piece(12);
            doc.Replace(p, p, text, ucNone);
            if (!text.empty())
                ModelInsert(model, markLines, p, text);
            break;
        }
        case 1: {
            TPoint b = point(count), e = point(count);
            if (e < b)
                std::swap(b, e);
            doc.Replace(b, e, "", ucNone);
            ModelDelete(model, markLines, b, e);
            break;
        }
        case 2:
            doc.PutLine(line, piece(4));
            model[size_t(line)] = doc.Lines()[line];
            break;
        case 3:
            doc.InsertLine(line, piece(4));
            model.insert(model.begin() + line, std::string(doc.Lines()[line]));
            break;
        default:
            if (count > 1) {
                doc.DeleteLine(line);
                model.erase(model.begin() + line);
            }
        }
        ASSERT_EQ(LinesOf(doc.Lines()), model) << "round " << round;
        ASSERT_EQ(shadow, model) << "round " << round;
        for (size_t m = 0; m < marks.size(); ++m)
            ASSERT_EQ(marks[m]->Line(), markLines[m]) << "round " << round << " mark " << m;

        if (round % 10 == 0) {
            std::vector<std::intptr_t> before;
            for (int i = 0; i < doc.Lines().Count(); ++i)
                before.push_back(doc.Lines().StoredObject(i));
            const int changedTo = doc.EnsureRanges(doc.Lines().Count() - 1);
            for (int i = changedTo + 1; i < doc.Lines().Count(); ++i)
                ASSERT_EQ(doc.Lines().StoredObject(i), before[size_t(i)]) << "round " << round << " line " << i;
            if (changedTo >= 0) {
                ASSERT_NE(doc.Lines().StoredObject(changedTo), before[size_t(changedTo)]) << "round " << round;
            }
            ASSERT_EQ(StoredRanges(doc.Lines()), ExpectedRanges(doc.Lines())) << "round " << round;
        } else {
            const int read = int(random() % unsigned(doc.Lines().Count()));
            ASSERT_EQ(doc.Lines().GetObject(read), ExpectedRanges(doc.Lines())[size_t(read)]) << "round " << round;
        }
    }
}

TEST(Document, StatesAreScannedWhenReadOnlyAsFarAsTheyChange)
{
    TzeDocument doc;
    TBraceScanner scanner;
    doc.SetRangeScanner(&scanner);
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += i == 10 ? "{\r\n" : "x\r\n";
    doc.SetText(text); // after the list's own empty first line
    EXPECT_EQ(scanner.Scanned, 0);
    EXPECT_EQ(doc.Lines().GetObject(20), 1);
    EXPECT_EQ(scanner.Scanned, 20);
    // An edit that changes no state rescans one line; one that does rescans
    // up to the end of what was current, not to the end of the text.
    doc.Replace(TPoint{1, 3}, TPoint{1, 3}, "y", ucNone);
    EXPECT_EQ(doc.EnsureRanges(20), -1);
    EXPECT_EQ(scanner.Scanned, 21);
    doc.Replace(TPoint{1, 3}, TPoint{1, 3}, "}", ucNone);
    EXPECT_EQ(doc.EnsureRanges(20), -1);
    doc.Replace(TPoint{1, 5}, TPoint{1, 5}, "{", ucNone);
    EXPECT_EQ(doc.EnsureRanges(20), 11);
    EXPECT_LT(scanner.Scanned, 45);
}
