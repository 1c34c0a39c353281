// One page of the event log as HTML for the web front end (key request,
// KeySub::kEventPage). The request's item is the start index, its command id
// the level filter and its spare word the page-size code:
//
//   start   0 to 99,998  forward from that index
//           99,999       the last page
//           100,000      forward from 0
//           100,001 + k  backward from index k
//   filter  0 all, 1 error, 2 warning, 3 information, 4 command (other: all)
//   page    1 = 50 events, 2 = 100, other = 20
//
// The entries come one by one from a Source (the connection asks the
// application for them); the page goes out in pieces through a Sink and ends
// with the byte 0x03. Every page is built in its own buffers.
#pragma once

#include "core/protocol/TpWebPages.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TpEventLogPage {
public:
    // Where the entries come from, and where the pieces go.
    using Source = TpWebPages::EventSource;
    using Sink = TpWebPages::Sink;

    static constexpr size_t kEntryTextMax = 263;   // characters of an entry used
    static constexpr int kLastPage = 99999;
    // 100,000 + k asks for the page before index k: backward from k - 1, or
    // the first page for k = 0.
    static constexpr int kPageBefore = 100000;

    TpEventLogPage(uint32_t item, uint16_t filterCode, uint16_t pageCode);

    // Fetches the entries and sends the page; false when a piece could not
    // be sent (the page is given up there).
    bool Send(Source& source, const Sink& sink);

    // The table row of one entry ("L HH:MM:SS DD-MM-YYYY message"); fields
    // that the text does not reach are empty.
    static std::string Row(const std::string& entryText);
    // The level code (1 error, 2 warning, 3 information, 4 command) of an
    // entry's first character.
    static int LevelOf(char first);

private:
    struct Walk {
        int start = 0;
        int step = 1;
        int listed = 0;                  // passing entries, rows or not
        int first = -1;                  // first and last passing index
        int last = -1;
        std::vector<std::string> rows;   // in walk order
    };

    std::string Head() const;
    void RunWalk(Source& source, int count, Walk& walk) const;
    std::string Navigation(const Walk& walk, int count) const;
    std::string Selectors() const;
    static std::string DivStart(int left, int top);

    int start_ = 0;          // the decoded start index
    bool backward_ = false;
    bool lastPageMark_ = false;
    int filter_ = 0;         // 0 to 4
    uint16_t pageCode_ = 0;  // as received
    int pageSize_ = 20;
};
