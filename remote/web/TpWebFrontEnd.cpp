#include "TpWebFrontEnd.h"

#include "TpEventLogPage.h"
#include "TpXmlStatus.h"

bool TpWebFrontEnd::SendEventLogPage(const RemoteMsgHeader& request, EventSource& source, const Sink& sink) const
{
    // The request's item is the start index, its command id the level filter
    // and its spare word the page-size code.
    TpEventLogPage page(request.item, request.cmdId, request.spare);
    return page.Send(source, sink);
}

const char* TpWebFrontEnd::StatusFile() const
{
    return TpXmlStatus::kStatusFile;
}
