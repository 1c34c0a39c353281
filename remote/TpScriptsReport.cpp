// The reports of the scripts page: the report body, the run's report folder,
// the report page and the index pages.
#include "TpScripts.h"

void TpScripts::AddReportSection(const std::string& /*text*/) {}
void TpScripts::AddReportLine(unsigned /*textNumber*/, const char* /*text*/) {}
void TpScripts::AddReportCount(unsigned /*textNumber*/, long /*count*/) {}
void TpScripts::AppendReport(const std::string& /*text*/, bool /*wrap*/) {}
void TpScripts::AddReportResult(const std::string& /*text*/, bool /*wrap*/) {}
void TpScripts::AddReportStepHeading(unsigned /*textNumber*/, uint32_t /*seconds*/) {}
std::string TpScripts::DurationSuffix(uint32_t /*seconds*/) { return std::string(); }
bool TpScripts::CreateRunReportFolder() { return false; }
void TpScripts::WriteReport() {}
void TpScripts::CheckLogo() {}
void TpScripts::StepReportIndex() {}
void MakeScreendumpIndex() {}
