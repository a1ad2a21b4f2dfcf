#pragma once

#include <QString>

class FlexMaskEditBox;
class QCheckBox;
class QFrame;
class QLabel;
class QRadioButton;
class QWidget;
class QuillonButton;

// Controls the Convert and Import dialogs build alike. Each is a child of
// `parent` named `name`; a caption's access-key marker "&" is left out of the
// accessible name.
namespace DialogParts {

// A sunken panel that groups a dialog's rows.
QFrame* NewPanel(QWidget* parent);

QRadioButton* NewOption(QWidget* parent, const QString& name, const QString& caption);
QCheckBox* NewCheck(QWidget* parent, const QString& name, const QString& caption);

// A command button in the program's look with a tool tip.
QuillonButton* NewCommandButton(QWidget* parent, const QString& name, const QString& caption,
                                const QString& tip);

// "lblFolder": "Folder: " and the folder a dialog works in, shortened in the
// middle when long (the whole path is its tool tip).
QLabel* NewFolderLabel(QWidget* parent, const QString& folder);

// The internal-ID field "mskInternalID": a centred whole number of up to four
// digits, bold, shown formatted while unfocused, selected on focus.
FlexMaskEditBox* NewInternalIDField(QWidget* parent);

}  // namespace DialogParts
