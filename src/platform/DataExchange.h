#pragma once
// What a dialog's data exchange needs of its controls, addressed by control id.

#include <map>
#include <stdexcept>
#include <string>

// Thrown when a control holds text that fails validation. The dialog stays open with the focus
// on the control; the message has already been shown.
class DataExchangeFailure : public std::runtime_error {
  public:
    DataExchangeFailure(int controlId, const std::string& message)
        : std::runtime_error(message), ControlId(controlId) {}
    int ControlId;
};

class DataExchange {
  public:
    virtual ~DataExchange() = default;
    // True while taking values from the controls, false while filling them.
    virtual bool IsSaving() const = 0;
    // Sets the direction of the following calls (a dialog's "update data" in either direction).
    virtual void SetSaving(bool saving) { (void)saving; }

    virtual std::string GetText(int id) = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    // 0 unchecked, 1 checked, 2 indeterminate.
    virtual int GetCheck(int id) = 0;
    virtual void SetCheck(int id, int state) = 0;
    // Index of the selected button of the group that starts with control `firstId`; -1 for none.
    virtual int GetRadio(int firstId) = 0;
    virtual void SetRadio(int firstId, int index) = 0;
    virtual void SetVisible(int id, bool visible) = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;
    // Shows the message, puts the focus on the control and throws DataExchangeFailure.
    [[noreturn]] virtual void Fail(int id, const std::string& message);
};

// Controls kept in maps, for tests and for headless use of dialog logic.
class MapDataExchange : public DataExchange {
  public:
    bool IsSaving() const override { return saving; }
    void SetSaving(bool s) override { saving = s; }
    std::string GetText(int id) override { return texts[id]; }
    void SetText(int id, const std::string& text) override { texts[id] = text; }
    int GetCheck(int id) override { return checks[id]; }
    void SetCheck(int id, int state) override { checks[id] = state; }
    int GetRadio(int firstId) override {
        auto it = radios.find(firstId);
        return it == radios.end() ? -1 : it->second;
    }
    void SetRadio(int firstId, int index) override { radios[firstId] = index; }
    void SetVisible(int id, bool v) override { visible[id] = v; }
    void SetEnabled(int id, bool e) override { enabled[id] = e; }
    [[noreturn]] void Fail(int id, const std::string& message) override;

    bool saving = false;
    std::map<int, std::string> texts;
    std::map<int, int> checks;
    std::map<int, int> radios;
    std::map<int, bool> visible;
    std::map<int, bool> enabled;
    int focus = 0;
};

// Moves a dialog's title (at most `maxTitle` characters) and, when `notes` is given, its notes
// between their edit boxes and the strings. A title that is too long is refused with the
// standard message and changes neither string.
void ExchangeTitleAndNotes(DataExchange& dx, int titleId, std::string& title, std::size_t maxTitle,
                           int notesId = 0, std::string* notes = nullptr);

// Runs `exchange(dx)` with the direction set to `saving`, then restores the previous direction
// (also when a control's text is refused).
template <class F> void UpdateData(DataExchange& dx, bool saving, F&& exchange) {
    const bool previous = dx.IsSaving();
    dx.SetSaving(saving);
    try {
        exchange(dx);
    } catch (...) {
        dx.SetSaving(previous);
        throw;
    }
    dx.SetSaving(previous);
}
