// The pages the remote-control server relays to the web front end: event-log
// pages and the name of the status XML file.
#pragma once

#include "core/protocol/TpWebPages.h"

class TpWebFrontEnd : public TpWebPages {
public:
    bool SendEventLogPage(const RemoteMsgHeader& request, EventSource& source, const Sink& sink) const override;
    const char* StatusFile() const override;
};
