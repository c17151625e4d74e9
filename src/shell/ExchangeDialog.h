#pragma once
// The Qt side of the dialogs: a DataExchange that finds a dialog's controls by their control id
// (the "controlId" property every control carries), and a dialog base with builders for the
// controls and the routing of their clicks and focus moves to the dialog's logic.

#include "platform/DataExchange.h"

#include <QDialog>
#include <QString>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class QtDataExchange : public DataExchange {
  public:
    explicit QtDataExchange(QWidget* root) : m_root(root) {}

    bool IsSaving() const override { return m_saving; }
    void SetSaving(bool saving) override { m_saving = saving; }
    std::string GetText(int id) override;
    void SetText(int id, const std::string& text) override;
    int GetCheck(int id) override;
    void SetCheck(int id, int state) override;
    int GetRadio(int firstId) override;
    void SetRadio(int firstId, int index) override;
    void SetVisible(int id, bool visible) override;
    void SetEnabled(int id, bool enabled) override;
    // Puts the focus on the control (its text selected), then shows the message and throws.
    [[noreturn]] void Fail(int id, const std::string& message) override;

    // The control with that id; null when the dialog has none.
    QWidget* Control(int id) const;

  private:
    QWidget* m_root;
    bool m_saving = false;
    // What each edit box was last given, and how it shows it: a text the user did not touch
    // comes back byte for byte, even where it is not valid UTF-8 and shows otherwise.
    std::map<int, std::pair<std::string, QString>> m_shown;
};

// Limits what can be typed into an edit box to `maxChars` characters (not UTF-16 units).
// Unlike a maximum length, a longer text put into the box is not cut: the dialog's own check
// refuses it with a message, and the user can shorten it.
void LimitCharacters(QLineEdit* edit, int maxChars);

class CExchangeDialog : public QDialog {
    Q_OBJECT
  public:
    explicit CExchangeDialog(QWidget* parent = nullptr);

    QtDataExchange& Exchange() { return m_dx; }
    // The control with that id (for tests and the forms themselves).
    QWidget* Control(int id) const { return m_dx.Control(id); }
    // Clicks the button with that id as the user would.
    void Click(int id);

  protected:
    // Builders: each control gets its id; buttons report their clicks to OnButton, check boxes
    // and radio buttons to OnButton too.
    QLabel* MakeLabel(const QString& text, int id = 0);
    QLineEdit* MakeEdit(int id, int width = 0);
    QPlainTextEdit* MakeNotes(int id);
    QPushButton* MakeButton(const QString& text, int id);
    QCheckBox* MakeCheck(const QString& text, int id);
    // A radio button of the group whose first button has id `firstId`.
    QRadioButton* MakeRadio(const QString& text, int id, int firstId);
    QGroupBox* MakeGroup(const QString& title, int id = 0);
    // Watches the focus moves of a control (reported to OnFocusIn / OnFocusOut).
    void WatchFocus(QWidget* control);

    // When the dialog shows: widens column 0 of `grid` so that `moved` starts where the first
    // visible one of `references` starts (fields of different boxes in one column).
    void AlignColumn(QGridLayout* grid, QWidget* moved, std::initializer_list<QWidget*> references);
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    virtual void OnButton(int id) { (void)id; }
    virtual void OnFocusIn(int id) { (void)id; }
    virtual void OnFocusOut(int id) { (void)id; }
    bool eventFilter(QObject* watched, QEvent* event) override;

    static int IdOf(const QObject* control);

  private:
    struct Alignment {
        QGridLayout* grid;
        QWidget* moved;
        std::vector<QWidget*> references;
    };
    QtDataExchange m_dx;
    std::vector<Alignment> m_alignments;
};
