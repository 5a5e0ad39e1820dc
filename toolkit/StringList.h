// StringList.h: the framework's 8-bit string list.
// TStringList keeps ordered lines, each with one integer slot, in compact
// storage (one byte buffer, no heap block per line); an update bracket
// batches change notifications. SplitTextLines is its text rule.
#ifndef QUENLO_TOOLKIT_STRINGLIST_H
#define QUENLO_TOOLKIT_STRINGLIST_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/LineStorage.h"

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

    int Count() const noexcept { return m_lines->Count(); }
    // The text of line index, valid until the list changes (reading other
    // lines keeps it valid). Index outside 0 .. Count-1 raises EListError.
    std::string_view Get(int index) const;
    std::string_view operator[](int index) const { return Get(index); }
    // The line's integer slot; outside 0 .. Count-1 raises EListError.
    virtual std::intptr_t GetObject(int index) const;
    // Stores the slot without a change notification: the slot is not text.
    void PutObject(int index, std::intptr_t object);

    // Appends; returns the new line's index.
    virtual int Add(std::string_view s);
    // Add followed by PutObject, as the list's copy uses it.
    int AddObject(std::string_view s, std::intptr_t object);
    // Inserts before line index (0 .. Count); out of range raises EListError.
    virtual void Insert(int index, std::string_view s);
    virtual void Delete(int index);
    virtual void Put(int index, std::string_view s);
    virtual void Clear();
    // Room for lines more lines of bytes more bytes, made at once: a caller
    // about to insert many lines saves the list growing step by step.
    void Reserve(int lines, std::size_t bytes) { m_lines->Reserve(lines, bytes); }

    // Every line followed by CR LF.
    std::string Text() const;
    // Clears, then adds one line per text line (SplitTextLines), in one update.
    virtual void SetText(std::string_view text);
    // Clears, then appends every line of source with its stored slot, in
    // one update (without an Add per line).
    virtual void Assign(const TStringList &source);
    // Exchanges the lines and slots of two plain lists, each notified once.
    void Swap(TStringList &other);
    // Reads a whole file as text; raises EStreamError when it cannot be read.
    virtual void LoadFromFile(const std::string &path);
    // Bytes held beyond the text itself (line starts, slots, free room).
    std::size_t MemoryBeyondText() const noexcept { return m_lines->MemoryBeyondText(); }

    // Brackets may nest; OnChange fires once, when the outermost one ends.
    void BeginUpdate() noexcept { ++m_updateCount; }
    void EndUpdate();
    int UpdateCount() const noexcept { return m_updateCount; }

    std::function<void(TStringList &)> OnChange;

protected:
    // Fires OnChange unless an update bracket is open.
    void Changed();
    // Storage primitives: no bracket, no notification.
    void InsertItem(int index, std::string_view s, std::intptr_t object);
    void RemoveItem(int index);
    void SetItem(int index, std::string_view s);
    void ClearItems();
    // The whole text in one pass, every slot 0 (SplitTextLines' rule).
    void SetItems(std::string_view text);
    // The slot as stored, without what a subclass does on reading it.
    std::intptr_t StoredObject(int index) const;
    void CheckIndex(int index, int count) const;

private:
    std::unique_ptr<TLineStorage> m_lines; // never null
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
