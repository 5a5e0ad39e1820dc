// LineStorageTest.cpp: TLineStorage against a plain vector of lines, and
// its text rules against the string list's. Built with assertions on and
// without a QApplication.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "toolkit/StringList.h"
#include "toolkit/LineStorage.h"

namespace {

using TPos = TLineStorage::TPosition;

// The model: lines and slots as plain vectors.
struct TModel {
    std::vector<std::string> Lines;
    std::vector<std::intptr_t> Slots;

    std::string Text() const
    {
        std::string text;
        for (const std::string &line : Lines)
            text += line + "\r\n";
        return text;
    }
};

// Lines and slots equal; every view taken first is still right after all
// other lines have been read (reading never moves another line's bytes).
void ExpectSame(const TLineStorage &storage, const TModel &model)
{
    storage.Check();
    ASSERT_EQ(storage.Count(), int(model.Lines.size()));
    std::vector<std::string_view> views;
    std::size_t length = 0;
    for (int i = 0; i < storage.Count(); ++i) {
        views.push_back(storage.Line(i));
        length += model.Lines[size_t(i)].size();
    }
    EXPECT_EQ(storage.TextLength(), length);
    for (int i = 0; i < storage.Count(); ++i) {
        ASSERT_EQ(views[size_t(i)], model.Lines[size_t(i)]) << "line " << i;
        ASSERT_EQ(storage.LineLength(i), int(model.Lines[size_t(i)].size()));
        ASSERT_EQ(storage.Slot(i), model.Slots[size_t(i)]) << "slot " << i;
    }
}

// Random bytes from a small alphabet rich in line breaks and NULs.
std::string RandomText(std::mt19937 &rng, int maxLength)
{
    static constexpr char kAlphabet[] = {'a', 'b', 'c', ' ', 'x', '\r', '\n', '\r', '\n', '\0'};
    std::string s(size_t(std::uniform_int_distribution<int>(0, maxLength)(rng)), ' ');
    for (char &c : s) {
        c = kAlphabet[std::uniform_int_distribution<int>(0, 9)(rng)];
        // NULs are rare, so that most texts go past their first line.
        if (c == '\0' && rng() % 4 != 0)
            c = 'n';
    }
    return s;
}

// Random point inside the model's text.
TPos RandomPoint(std::mt19937 &rng, const TModel &model)
{
    const int line = std::uniform_int_distribution<int>(0, int(model.Lines.size()) - 1)(rng);
    const int column = std::uniform_int_distribution<int>(0, int(model.Lines[size_t(line)].size()))(rng);
    return {line, column};
}

// Inserting text into the model: text up to its first NUL, split by the
// string list's rule plus the empty piece after a final break; the line's
// head and tail (which may hold break bytes themselves) are not split.
TPos ModelInsertText(TModel &model, TPos at, std::string text)
{
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> pieces = SplitTextLines(text);
    if (text.empty() || text.back() == '\r' || text.back() == '\n')
        pieces.emplace_back();
    std::string &line = model.Lines[size_t(at.Line)];
    const std::string tail = line.substr(size_t(at.Column));
    line = line.substr(0, size_t(at.Column)) + pieces[0];
    const int added = int(pieces.size()) - 1;
    model.Lines.insert(model.Lines.begin() + at.Line + 1, pieces.begin() + 1, pieces.end());
    model.Slots.insert(model.Slots.begin() + at.Line + 1, size_t(added), 0);
    std::string &last = model.Lines[size_t(at.Line + added)];
    const TPos end{at.Line + added, int(last.size())};
    last += tail;
    return end;
}

std::string ModelDeleteText(TModel &model, TPos from, TPos to)
{
    std::string removed;
    for (int line = from.Line; line <= to.Line; ++line) {
        const std::string &s = model.Lines[size_t(line)];
        const size_t begin = line == from.Line ? size_t(from.Column) : 0;
        const size_t end = line == to.Line ? size_t(to.Column) : s.size();
        removed += s.substr(begin, end - begin) + (line == to.Line ? "" : "\r\n");
    }
    model.Lines[size_t(from.Line)] =
        model.Lines[size_t(from.Line)].substr(0, size_t(from.Column)) + model.Lines[size_t(to.Line)].substr(size_t(to.Column));
    model.Lines.erase(model.Lines.begin() + from.Line + 1, model.Lines.begin() + to.Line + 1);
    model.Slots.erase(model.Slots.begin() + from.Line + 1, model.Slots.begin() + to.Line + 1);
    return removed;
}

} // namespace

// Thousands of random operations of every kind, compared after each.
TEST(LineStorage, RandomOperationsMatchModel)
{
    std::mt19937 rng(20261208);
    TLineStorage storage;
    TModel model;
    auto index = [&](int bound) { return std::uniform_int_distribution<int>(0, bound)(rng); };
    for (int step = 0; step < 6000; ++step) {
        const int count = int(model.Lines.size());
        const int op = index(9);
        SCOPED_TRACE("step " + std::to_string(step) + ", operation " + std::to_string(op));
        if (op == 0 && count < 300) {
            // Lines may hold any byte, breaks and NULs included.
            const int at = index(count);
            const std::string line = RandomText(rng, 12);
            storage.Insert(at, line, step);
            model.Lines.insert(model.Lines.begin() + at, line);
            model.Slots.insert(model.Slots.begin() + at, step);
        } else if (op == 1 && count < 300) {
            EXPECT_EQ(storage.Add("add " + std::to_string(step)), count);
            model.Lines.push_back("add " + std::to_string(step));
            model.Slots.push_back(0);
        } else if (op == 2 && count > 0) {
            const int at = index(count - 1);
            storage.Delete(at);
            model.Lines.erase(model.Lines.begin() + at);
            model.Slots.erase(model.Slots.begin() + at);
        } else if (op == 3 && count > 0) {
            const int at = index(count - 1);
            const std::string line = RandomText(rng, 20);
            storage.Put(at, line);
            model.Lines[size_t(at)] = line;
        } else if (op == 4 && count > 0) {
            const int at = index(count - 1);
            storage.SetSlot(at, -step);
            model.Slots[size_t(at)] = -step;
        } else if ((op == 5 || op == 6) && count > 0) {
            const TPos at = RandomPoint(rng, model);
            const std::string text = RandomText(rng, 30);
            const TPos end = storage.InsertText(at, text);
            EXPECT_EQ(end, ModelInsertText(model, at, text));
        } else if (op == 7 && count > 0) {
            TPos from = RandomPoint(rng, model);
            TPos to = RandomPoint(rng, model);
            if (to.Line < from.Line || (to.Line == from.Line && to.Column < from.Column))
                std::swap(from, to);
            EXPECT_EQ(storage.DeleteText(from, to), ModelDeleteText(model, from, to));
        } else if (op == 8 && rng() % 8 == 0) {
            const std::string text = RandomText(rng, 400);
            storage.SetText(text);
            model.Lines = SplitTextLines(text);
            model.Slots.assign(model.Lines.size(), 0);
            // The string list's own rules, for the text both ways.
            TStringList list;
            list.SetText(text);
            ASSERT_EQ(storage.Text(), list.Text());
        } else if (op == 9 && rng() % 50 == 0) {
            storage.Clear();
            model = TModel{};
            EXPECT_EQ(storage.MemoryBeyondText(), TLineStorage().MemoryBeyondText());
        }
        ExpectSame(storage, model);
        if (step % 64 == 0) {
            ASSERT_EQ(storage.Text(), model.Text());
        }
    }
}

TEST(LineStorage, TextRulesAtTheEdges)
{
    TLineStorage storage;
    EXPECT_EQ(storage.Count(), 0);
    EXPECT_EQ(storage.Text(), "");
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {std::string("\0a\r\n", 4), {}},
        {"\r\n", {""}},
        {"a", {"a"}},
        {"a\r", {"a"}},
        {"a\r\r\n\nb", {"a", "", "", "b"}},
        {"\n\r", {"", ""}},
        {std::string("ab\r\ncd\0ef\r\n", 11), {"ab", "cd"}},
    };
    for (const auto &c : cases) {
        storage.SetText(c.text);
        TModel model{c.lines, std::vector<std::intptr_t>(c.lines.size(), 0)};
        ExpectSame(storage, model);
    }

    storage.SetText("one\r\ntwo");
    // A break at the end of a line gives an empty line after it; the end
    // point of an insertion is where the inserted text stops.
    EXPECT_EQ(storage.InsertText({1, 3}, "\r\n"), (TPos{2, 0}));
    EXPECT_EQ(storage.InsertText({0, 0}, "x\ry\n"), (TPos{2, 0}));
    EXPECT_EQ(storage.Text(), "x\r\ny\r\none\r\ntwo\r\n\r\n");
    EXPECT_EQ(storage.DeleteText({0, 1}, {4, 0}), "\r\ny\r\none\r\ntwo\r\n");
    EXPECT_EQ(storage.Text(), "x\r\n");

    EXPECT_THROW(storage.Line(1), std::out_of_range);
    EXPECT_THROW(storage.Insert(2, "a"), std::out_of_range);
    EXPECT_THROW(storage.InsertText({0, 2}, "a"), std::out_of_range);
    EXPECT_THROW(storage.DeleteText({0, 1}, {0, 0}), std::out_of_range);
    EXPECT_EQ(storage.Text(), "x\r\n");
}

// Long runs at one place: the stepped line starts stay right whether the
// edits go forwards, backwards or jump about a large text.
TEST(LineStorage, SteppedStartsOverLargeText)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "line " + std::to_string(i) + "\n";
    TLineStorage storage;
    storage.SetText(text);
    TModel model{SplitTextLines(text), std::vector<std::intptr_t>(20000, 0)};
    std::mt19937 rng(7);
    int at = 10000;
    for (int i = 0; i < 2000; ++i) {
        // Mostly near the previous edit, now and then anywhere.
        at = rng() % 16 == 0 ? int(rng() % 20000) : std::clamp(at + int(rng() % 7) - 3, 0, 19999);
        const std::string line = model.Lines[size_t(at)] + "+";
        storage.Put(at, line);
        model.Lines[size_t(at)] = line;
        ASSERT_EQ(storage.Line(at), line);
    }
    ExpectSame(storage, model);
}

#ifndef NDEBUG
// This test program is built with assertions on: a broken invariant stops it.
TEST(LineStorageDeathTest, AssertionsAreOn)
{
    TSplitVector<char> bytes;
    EXPECT_DEATH(bytes.GapTo(1), "");
}
#endif
