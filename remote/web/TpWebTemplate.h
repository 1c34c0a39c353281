// The template of a script report: fills in the report name, the date, the
// user and the report body.
#pragma once

#include "TpBaseWebTemplate.h"

#include <string>

class TpWebTemplate : public TpBaseWebTemplate {
public:
    // Keeps copies of the three texts, so temporaries may be passed.
    TpWebTemplate(const std::string& reportName, const std::string& user, const std::string& report);

    // The size of the buffer the DATE token is formatted into.
    static constexpr size_t kDateBytes = 40;

protected:
    void HandleToken(const std::string& name) override { ProcessToken(name); }

private:
    // Writes "before", the token's text and "after"; nothing at all when the
    // text is empty.
    void ProcessToken(const std::string& name);

    std::string reportName_;
    std::string user_;
    std::string report_;
};
