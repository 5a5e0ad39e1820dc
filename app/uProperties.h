// uProperties.h: the script properties dialog.
// TfmProperties edits the metadata of a script document: ID, main procedure
// (chosen from the procedures of the editor's text), name, menu, hint, icon.
#ifndef QUENLO_APP_UPROPERTIES_H
#define QUENLO_APP_UPROPERTIES_H

#include <memory>

#include <QDialog>
#include <QImage>

#include "toolkit/Dialogs.h"
#include "toolkit/Icon.h"
#include "app/MSScriptControl_TLB.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TScript;
class TzeCustomEdit;

class TfmProperties : public QDialog {
    Q_OBJECT
public:
    // editor: whose text gives the procedures; dialogs: for the icon file dialog.
    TfmProperties(TzeCustomEdit &editor, IDialogs &dialogs, QWidget *parent = nullptr);
    ~TfmProperties() override;

    void LoadFromScript(const TScript &script);
    void SaveToScript(TScript &script) const;
    // Raises the engine's error when the editor text does not compile.
    void FillProcedures();
    void btnLoadClick();
    // OK: refused, with a message naming the field and the character, while
    // a field holds a character that a script file cannot store.
    void accept() override;

    // Whether the picture holds an icon (only an icon reaches the document).
    bool PictureIsIcon() const noexcept { return !m_icon.Empty(); }
    const QImage &Picture() const noexcept { return m_picture; }

    QLineEdit *edScriptID = nullptr;
    QComboBox *cbProcedures = nullptr;
    QLineEdit *edScriptName = nullptr;
    QLineEdit *edScriptMenu = nullptr;
    QLineEdit *edScriptHint = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *btnLoad = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

private:
    void ShowPicture();
    void ScriptControl1Error(TScriptControl &) {}

    TzeCustomEdit &m_editor;
    IDialogs &m_dialogs;
    std::unique_ptr<TScriptControl> ScriptControl1;
    TIcon m_icon;     // the picture when it came from an icon
    QImage m_picture; // what Image1 shows
};

#endif
