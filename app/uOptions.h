// uOptions.h: the options dialog.
// TfmOptions edits the colours and font style of each VBScript token kind in
// a private highlighter loaded from the settings; the main window takes them
// over on OK.
#ifndef QUENLO_APP_UOPTIONS_H
#define QUENLO_APP_UOPTIONS_H

#include <array>
#include <memory>

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QTabWidget;
class IDialogs;
class TColorPickerButton;
class TjaVbsSyn;
class TzeHighLightAttributes;

class TfmOptions : public QDialog {
    Q_OBJECT
public:
    // dialogs: where a broken settings value is reported (not owned; none:
    // the standard handler's own).
    explicit TfmOptions(IDialogs *dialogs, QWidget *parent = nullptr);
    ~TfmOptions() override;

    // The private highlighter with the edited attributes; it lives as long as the dialog.
    TjaVbsSyn &Highlighter() noexcept { return *jaVbsSyn; }

    // Shows the selected element's colours and style in the controls.
    void cbElementsChange();
    // Any control changed: the selected element takes the controls' values.
    void ccbForegroundChange();
    void btnOKClick() {}

    QTabWidget *pcOptions = nullptr;
    QWidget *tshEdit = nullptr;
    QGroupBox *gbColours = nullptr;
    QComboBox *cbElements = nullptr;
    TColorPickerButton *ccbForeground = nullptr;
    TColorPickerButton *ccbBackground = nullptr;
    QCheckBox *cbBold = nullptr;
    QCheckBox *cbItalic = nullptr;
    QCheckBox *cbUnderline = nullptr;
    QCheckBox *cbStrikeout = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

private:
    void FormCreate();
    void FillElements();
    void ApplyElement();
    // The attribute of the list's selection; none while nothing is selected.
    TzeHighLightAttributes *SelectedAttribute() const;
    // Bold, italic, underline, strike-out.
    std::array<QCheckBox *, 4> StyleBoxes() const { return {cbBold, cbItalic, cbUnderline, cbStrikeout}; }

    IDialogs *m_dialogs;
    std::unique_ptr<TjaVbsSyn> jaVbsSyn;
};

#endif
