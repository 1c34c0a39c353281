// The index page of the reports folder: one row per report folder with its
// date and the report's overall result, "OK" when the report counted no
// errors, else "FAIL".
#pragma once

#include "TpWebDirList.h"

#include <string>

class TpReportList : public TpWebDirList {
public:
    // pattern: reports folder + "/*"; resultLabel: the text of the report's
    // error-count line (text 145).
    TpReportList(const std::string& pattern, const std::string& resultLabel);

    // "OK" or "FAIL" for the report page at path.
    std::string Result(const std::string& pagePath) const;

protected:
    void WriteRow(const std::string& name) override;

private:
    std::string resultLabel_;
};
