#include "SettingsForm.h"

#include "settings/SettingsDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

void CSettingsForm::accept() {
    if (SettingsLogic().OnOK(Exchange())) QDialog::accept();
}

void CSettingsForm::OnButton(int id) {
    if (id == 1)
        accept();
    else if (id == 2)
        reject();
    else
        SettingsLogic().OnCommand(Exchange(), id);
}

QVBoxLayout* CSettingsForm::MakeButtonColumn() {
    const CSettingsDialog& logic = SettingsLogic();
    const CSettingsDialog::Buttons& ids = logic.ButtonIds();
    auto* buttons = new QVBoxLayout;
    QPushButton* ok = MakeButton(QStringLiteral("OK"), 1);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(MakeButton(QStringLiteral("Cancel"), 2));
    if (ids.apply) buttons->addWidget(MakeButton(QStringLiteral("Apply"), ids.apply));
    if (logic.HelpId()) buttons->addWidget(MakeButton(QStringLiteral("Help"), logic.HelpId()));
    buttons->addSpacing(16);
    buttons->addWidget(MakeButton(QStringLiteral("Update"), ids.update));
    buttons->addWidget(MakeButton(QStringLiteral("Recall"), ids.recall));
    buttons->addWidget(MakeButton(QStringLiteral("Reset"), ids.reset));
    buttons->addStretch(1);
    return buttons;
}

QGroupBox* CSettingsForm::MakeNotesGroup(int notesId, int displayId, int fontId, int lines, int minWidth) {
    QGroupBox* notes = MakeGroup(QStringLiteral("Notes"));
    auto* nl = new QVBoxLayout(notes);
    QPlainTextEdit* notesEdit = MakeNotes(notesId);
    if (minWidth > 0) notesEdit->setMinimumWidth(minWidth);
    notesEdit->setFixedHeight(notesEdit->fontMetrics().lineSpacing() * lines + 12);
    connect(notesEdit, &QPlainTextEdit::textChanged, this, [this, notesEdit] {
        if (notesEdit->hasFocus()) SettingsLogic().OnChanged(Exchange());
    });
    nl->addWidget(notesEdit);
    auto* nrow = new QHBoxLayout;
    nrow->addWidget(MakeCheck(QStringLiteral("Display"), displayId));
    nrow->addStretch(1);
    nrow->addWidget(MakeButton(QStringLiteral("Font"), fontId));
    nl->addLayout(nrow);
    return notes;
}
