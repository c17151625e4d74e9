#include "ExchangeDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>
#include <algorithm>
#include <vector>

namespace {
const char* const kIdProperty = "controlId";
const char* const kGroupProperty = "radioGroup";
constexpr int kCancelId = 2;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::vector<QRadioButton*> RadioGroup(QWidget* root, int firstId) {
    std::vector<QRadioButton*> buttons;
    for (QRadioButton* b : root->findChildren<QRadioButton*>())
        if (b->property(kGroupProperty).toInt() == firstId) buttons.push_back(b);
    std::sort(buttons.begin(), buttons.end(), [](QRadioButton* a, QRadioButton* b) {
        return a->property(kIdProperty).toInt() < b->property(kIdProperty).toInt();
    });
    return buttons;
}
} // namespace

// ---- QtDataExchange ----------------------------------------------------------------------------

QWidget* QtDataExchange::Control(int id) const {
    if (m_root->property(kIdProperty).toInt() == id && id != 0) return m_root;
    for (QWidget* w : m_root->findChildren<QWidget*>())
        if (w->property(kIdProperty).toInt() == id) return w;
    return nullptr;
}

std::string QtDataExchange::GetText(int id) {
    QWidget* w = Control(id);
    const auto untouched = [&](const QString& now) -> const std::string* {
        auto it = m_shown.find(id);
        return it != m_shown.end() && it->second.second == now ? &it->second.first : nullptr;
    };
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        const QString now = e->text();
        if (const std::string* given = untouched(now)) return *given;
        return now.toStdString();
    }
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        const QString now = e->toPlainText();
        if (const std::string* given = untouched(now)) return *given;
        return now.toStdString();
    }
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title().toStdString();
    return {};
}

void QtDataExchange::SetText(int id, const std::string& text) {
    QWidget* w = Control(id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != Q(text)) e->setText(Q(text));
        m_shown[id] = {text, e->text()};
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        if (p->toPlainText() != Q(text)) p->setPlainText(Q(text));
        m_shown[id] = {text, p->toPlainText()};
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(Q(text));
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(Q(text));
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(Q(text));
    }
}

int QtDataExchange::GetCheck(int id) {
    QWidget* w = Control(id);
    if (auto* c = qobject_cast<QCheckBox*>(w)) {
        switch (c->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
        }
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->isChecked() ? 1 : 0;
    return 0;
}

void QtDataExchange::SetCheck(int id, int state) {
    QWidget* w = Control(id);
    if (auto* c = qobject_cast<QCheckBox*>(w)) {
        if (state == 2) c->setTristate(true);
        c->setCheckState(state == 2 ? Qt::PartiallyChecked : state ? Qt::Checked : Qt::Unchecked);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setChecked(state != 0);
    }
}

int QtDataExchange::GetRadio(int firstId) {
    const std::vector<QRadioButton*> group = RadioGroup(m_root, firstId);
    for (std::size_t i = 0; i < group.size(); ++i)
        if (group[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

void QtDataExchange::SetRadio(int firstId, int index) {
    const std::vector<QRadioButton*> group = RadioGroup(m_root, firstId);
    for (std::size_t i = 0; i < group.size(); ++i)
        group[i]->setChecked(static_cast<int>(i) == index);
}

void QtDataExchange::SetVisible(int id, bool visible) {
    if (QWidget* w = Control(id)) w->setHidden(!visible);
}

void QtDataExchange::SetEnabled(int id, bool enabled) {
    if (QWidget* w = Control(id)) w->setEnabled(enabled);
}

void QtDataExchange::Fail(int id, const std::string& message) {
    if (QWidget* w = Control(id)) {
        w->setFocus(Qt::OtherFocusReason);
        if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
    }
    DataExchange::Fail(id, message);
}

namespace {
class CharacterLimit : public QValidator {
  public:
    CharacterLimit(QLineEdit* edit, int maxChars) : QValidator(edit), m_edit(edit), m_max(maxChars) {}
    State validate(QString& input, int&) const override {
        const qsizetype n = input.toUcs4().size();
        if (n <= m_max) return Acceptable;
        // Over the limit (a longer text was put in): shortening it is allowed, lengthening not.
        return n < m_edit->text().toUcs4().size() ? Intermediate : Invalid;
    }

  private:
    QLineEdit* m_edit;
    int m_max;
};
} // namespace

void LimitCharacters(QLineEdit* edit, int maxChars) {
    edit->setValidator(new CharacterLimit(edit, maxChars));
}

// ---- CExchangeDialog ---------------------------------------------------------------------------

CExchangeDialog::CExchangeDialog(QWidget* parent) : QDialog(parent), m_dx(this) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Modal for the window it belongs to only, so that the help it opens can be used.
    if (parent) setWindowModality(Qt::WindowModal);
}

// F1 does what the dialog's Help button does.
void CExchangeDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        for (QPushButton* b : findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Help") && b->isVisible() && b->isEnabled()) {
                b->click();
                event->accept();
                return;
            }
    }
    QDialog::keyPressEvent(event);
}

int CExchangeDialog::IdOf(const QObject* control) {
    return control ? control->property(kIdProperty).toInt() : 0;
}

void CExchangeDialog::Click(int id) {
    if (auto* b = qobject_cast<QAbstractButton*>(Control(id))) b->click();
}

QLabel* CExchangeDialog::MakeLabel(const QString& text, int id) {
    auto* l = new QLabel(text, this);
    if (id) l->setProperty(kIdProperty, id);
    return l;
}

QLineEdit* CExchangeDialog::MakeEdit(int id, int width) {
    auto* e = new QLineEdit(this);
    e->setProperty(kIdProperty, id);
    if (width > 0) e->setFixedWidth(width);
    return e;
}

QPlainTextEdit* CExchangeDialog::MakeNotes(int id) {
    auto* e = new QPlainTextEdit(this);
    e->setProperty(kIdProperty, id);
    e->setTabChangesFocus(true);
    return e;
}

QPushButton* CExchangeDialog::MakeButton(const QString& text, int id) {
    auto* b = new QPushButton(text, this);
    b->setProperty(kIdProperty, id);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, id] { OnButton(id); });
    return b;
}

QCheckBox* CExchangeDialog::MakeCheck(const QString& text, int id) {
    auto* c = new QCheckBox(text, this);
    c->setProperty(kIdProperty, id);
    connect(c, &QCheckBox::clicked, this, [this, id] { OnButton(id); });
    return c;
}

QRadioButton* CExchangeDialog::MakeRadio(const QString& text, int id, int firstId) {
    auto* r = new QRadioButton(text, this);
    r->setProperty(kIdProperty, id);
    r->setProperty(kGroupProperty, firstId);
    connect(r, &QRadioButton::clicked, this, [this, id] { OnButton(id); });
    return r;
}

QGroupBox* CExchangeDialog::MakeGroup(const QString& title, int id) {
    auto* g = new QGroupBox(title, this);
    if (id) g->setProperty(kIdProperty, id);
    return g;
}

void CExchangeDialog::WatchFocus(QWidget* control) {
    control->installEventFilter(this);
}

bool CExchangeDialog::eventFilter(QObject* watched, QEvent* event) {
    // Focus going to or coming back from another window (a message box, a chooser) is not the
    // user moving between the controls.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        // Nor is the focus going to "Cancel": the dialog is about to close without applying, so
        // what the control holds is neither checked nor acted on.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool toCancel =
            event->type() == QEvent::FocusOut && IdOf(QApplication::focusWidget()) == kCancelId;
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !toCancel &&
            isVisible()) {
            if (event->type() == QEvent::FocusIn)
                OnFocusIn(IdOf(watched));
            else
                OnFocusOut(IdOf(watched));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CExchangeDialog::AlignColumn(QGridLayout* grid, QWidget* moved,
                                  std::initializer_list<QWidget*> references) {
    m_alignments.push_back({grid, moved, references});
}

void CExchangeDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_alignments.empty()) return;
    layout()->activate();
    for (const Alignment& a : m_alignments) {
        QWidget* reference = nullptr;
        for (QWidget* w : a.references)
            if (w && !w->isHidden()) {
                reference = w;
                break;
            }
        if (!reference) continue;
        // Layouts of group boxes settle on their own; make them settle now.
        for (QWidget* w : {a.moved, reference})
            if (QWidget* parent = w->parentWidget(); parent && parent->layout()) parent->layout()->activate();
        const int shift = reference->mapTo(this, QPoint()).x() - a.moved->mapTo(this, QPoint()).x();
        if (shift <= 0) continue;
        a.grid->setColumnMinimumWidth(0, a.grid->cellRect(0, 0).width() + shift);
        a.grid->activate();
    }
    m_alignments.clear();
    layout()->activate();
}
