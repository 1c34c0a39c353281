// The web front end's requests that a connection thread answers itself (key
// requests with KeySub::kEventPage and kStatusXml). The server only relays
// them: the pages are built above it, by the object handed to the remote-control
// page, so the server knows nothing of HTML or of the status layout.
#pragma once

#include "core/protocol/RemoteMsgHeader.h"

#include <functional>
#include <string>

class TpWebPages {
public:
    // Where the event-log entries come from. False when no answer came: a
    // page whose count cannot be read shows an empty log, a walk whose entry
    // cannot be read ends there.
    class EventSource {
    public:
        virtual ~EventSource() = default;
        virtual bool Count(int& count) = 0;
        virtual bool Entry(int index, std::string& text) = 0;
    };
    // Takes one piece of a page; false when it could not be sent.
    using Sink = std::function<bool(const std::string& piece)>;

    virtual ~TpWebPages() = default;

    // One event-log page for the request's item, command id and spare word;
    // false when a piece could not be sent. Called on connection threads:
    // the page is built in its own buffers.
    virtual bool SendEventLogPage(const RemoteMsgHeader& request, EventSource& source, const Sink& sink) const = 0;
    // The instrument path of the status file the application writes when
    // asked, as named to the client.
    virtual const char* StatusFile() const = 0;
};
