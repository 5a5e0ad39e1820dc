// uProcedureBox.h: the combo box above the editor that lists "(General)" and
// the script's classes and procedures in source order. TProcedureBox follows
// each outline and the caret's line; choosing an entry asks to go there.
#ifndef QUENLO_APP_UPROCEDUREBOX_H
#define QUENLO_APP_UPROCEDUREBOX_H

#include <functional>

#include <QComboBox>

#include "editor/zeTypes.h"
#include "vbscript/VbsOutline.h"

class TProcedureBox : public QComboBox {
public:
    explicit TProcedureBox(QWidget *parent = nullptr);

    static constexpr const char *kGeneral = "(General)";
    // "Name" for a global procedure or a class, "Class.Member" for a member;
    // a property adds its kind: "Person.Name (Get)".
    static QString Label(const vbs::OutlineEntry &entry);

    // The entries of outline, when they differ from those shown.
    void SetOutline(const vbs::Outline &outline);
    // Selects the entry that holds line, "(General)" outside all of them.
    void SelectLine(int line);
    // The entries shown after "(General)".
    const std::vector<vbs::OutlineEntry> &Entries() const noexcept { return m_outline.entries; }

    // The user chose an entry: the place of its name in its header.
    std::function<void(TPoint place)> OnChoose;

private:
    void Chosen(int index);
    vbs::Outline m_outline; // the entries only
};

#endif
