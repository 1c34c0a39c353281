// The status export: writes the readings and settings named by a layout file
// (TpXmlLayout) from the command store to an XML file, and builds the same
// readings as an HTML table for the script reports.
#pragma once

#include "core/store/TpBase.h"

#include <cstdint>
#include <string>

class TpCommandEntries;

// The order of day, month and year in the instrument's dates.
enum class TpDateOrder : int {
    kDayMonthYear = 0,
    kMonthDayYear = 1,
    kYearMonthDay = 2,
};

class TpXmlStatus : public TpBase {
public:
    // Writes the XML file from the layout and the store. False (with a
    // message, and an empty table) when either file cannot be opened.
    bool Write(const std::string& xmlPath, const std::string& layoutPath, const TpCommandEntries& store);
    // What Write puts into the file for the layout text, and the HTML table
    // of the same readings; nothing is read or written on disk.
    void Format(const std::string& layout, const TpCommandEntries& store, std::string& xml, std::string& table) const;

    // The HTML table of the last export; empty after a failed one.
    const std::string& Table() const { return table_; }

    // The date order the "INFO_DATE_DATE" field follows (day-month-year
    // unless set).
    void SetDateOrder(TpDateOrder order) { dateOrder_ = order; }
    TpDateOrder DateOrder() const { return dateOrder_; }

    // The instrument's status file, written for the status key and named to
    // web clients.
    static constexpr const char* kStatusFile = "/mnt/mmc/status.xml";

    // The label whose value is the current date.
    static constexpr const char* kDateLabel = "INFO_DATE_DATE";
    static constexpr size_t kDateBytes = 30;

private:
    std::string table_;
    TpDateOrder dateOrder_ = TpDateOrder::kDayMonthYear;
};
