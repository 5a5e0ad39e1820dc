// StringList.h: the framework's 8-bit string list.
// TStringList keeps ordered lines, each with one integer slot, in a gap buffer
// so that a run of inserts or deletes at one place moves no other line; an
// update bracket batches change notifications. SplitTextLines is its text rule.
#ifndef QUENLO_TOOLKIT_STRINGLIST_H
#define QUENLO_TOOLKIT_STRINGLIST_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Splits text into lines: a line ends at CR LF, a lone CR or a lone LF; a NUL
// ends the text; a last line without a break is a line; a final break adds no
// empty line. Empty text gives no line.
std::vector<std::string> SplitTextLines(std::string_view text);

class TStringList {
public:
    TStringList();
    virtual ~TStringList();
    // Deleted so that a list (and the editor's hooks on it) is never copied by accident.
    TStringList(const TStringList &) = delete;
    TStringList &operator=(const TStringList &) = delete;

    int Count() const noexcept { return int(m_items.size()) - m_gapLength; }
    // Index outside 0 .. Count-1 raises EListError.
    const std::string &Get(int index) const;
    const std::string &operator[](int index) const { return Get(index); }
    // The line's integer slot; outside 0 .. Count-1 raises EListError.
    std::intptr_t GetObject(int index) const;
    // Stores the slot without a change notification: the slot is not text.
    void PutObject(int index, std::intptr_t object);

    // Appends; returns the new line's index.
    virtual int Add(const std::string &s);
    // Add followed by PutObject, as the list's copy uses it.
    int AddObject(const std::string &s, std::intptr_t object);
    // Inserts before line index (0 .. Count); out of range raises EListError.
    virtual void Insert(int index, const std::string &s);
    virtual void Delete(int index);
    virtual void Put(int index, const std::string &s);
    virtual void Clear();

    // Every line followed by CR LF.
    std::string Text() const;
    // Clears, then adds one line per text line (SplitTextLines), in one update.
    virtual void SetText(std::string_view text);
    // Clears, then AddObject for every line of source, in one update.
    virtual void Assign(const TStringList &source);
    // Reads a whole file as text; raises EStreamError when it cannot be read.
    virtual void LoadFromFile(const std::string &path);

    // Brackets may nest; OnChange fires once, when the outermost one ends.
    void BeginUpdate() noexcept { ++m_updateCount; }
    void EndUpdate();
    int UpdateCount() const noexcept { return m_updateCount; }

    std::function<void(TStringList &)> OnChange;

protected:
    // Fires OnChange unless an update bracket is open.
    void Changed();
    // Storage primitives: no bracket, no notification.
    void InsertItem(int index, std::string s, std::intptr_t object);
    void RemoveItem(int index);
    void SetItem(int index, std::string s);
    void ClearItems();
    void CheckIndex(int index, int count) const;

private:
    struct TLine {
        std::string text;
        std::intptr_t object = 0;
    };
    TLine &At(int index) noexcept { return m_items[size_t(index < m_gapStart ? index : index + m_gapLength)]; }
    const TLine &At(int index) const noexcept { return m_items[size_t(index < m_gapStart ? index : index + m_gapLength)]; }
    void GapTo(int position);
    void RoomFor(int lines);

    // invariant: the gap is m_items[m_gapStart .. m_gapStart + m_gapLength), empty lines.
    std::vector<TLine> m_items;
    int m_gapStart = 0;
    int m_gapLength = 0;
    int m_updateCount = 0;
};

// Scoped update bracket, so that an exception cannot leave the count raised.
class TUpdateGuard {
public:
    explicit TUpdateGuard(TStringList &list) : m_list(list) { m_list.BeginUpdate(); }
    ~TUpdateGuard() { m_list.EndUpdate(); }
    TUpdateGuard(const TUpdateGuard &) = delete;
    TUpdateGuard &operator=(const TUpdateGuard &) = delete;

private:
    TStringList &m_list;
};

#endif
