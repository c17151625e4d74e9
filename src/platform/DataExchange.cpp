#include "platform/DataExchange.h"

#include "platform/Platform.h"

void DataExchange::Fail(int id, const std::string& message) {
    Platform().Messages().MessageBox(message, "Kintra", MB_OK, MB_ICONWARNING);
    throw DataExchangeFailure(id, message);
}

void MapDataExchange::Fail(int id, const std::string& message) {
    focus = id;
    DataExchange::Fail(id, message);
}
