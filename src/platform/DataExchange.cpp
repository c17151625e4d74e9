#include "platform/DataExchange.h"

#include "platform/Platform.h"
#include "platform/Text.h"

void DataExchange::Fail(int id, const std::string& message) {
    Platform().Messages().MessageBox(message, "Kintra", MB_OK, MB_ICONWARNING);
    throw DataExchangeFailure(id, message);
}

void MapDataExchange::Fail(int id, const std::string& message) {
    focus = id;
    DataExchange::Fail(id, message);
}

void ExchangeTitleAndNotes(DataExchange& dx, int titleId, std::string& title, std::size_t maxTitle,
                           int notesId, std::string* notes) {
    if (!dx.IsSaving()) {
        dx.SetText(titleId, title);
        if (notes) dx.SetText(notesId, *notes);
        return;
    }
    std::string newTitle = dx.GetText(titleId);
    std::string newNotes = notes ? dx.GetText(notesId) : std::string();
    if (Utf8Length(newTitle) > maxTitle)
        dx.Fail(titleId, FormatString("Please enter no more than %zu characters.", maxTitle));
    title = std::move(newTitle);
    if (notes) *notes = std::move(newNotes);
}
