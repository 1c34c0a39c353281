// The event-log page as a web client expects it, piece by piece, for tests
// that compare whole pages.
#pragma once

#include <string>
#include <vector>

namespace web_page {

// One entry of a test log: "L HH:MM:SS DD-MM-YYYY message".
struct Entry {
    char level;
    std::string time;      // 8 characters
    std::string date;      // 10 characters
    std::string message;
    std::string Text() const { return std::string(1, level) + " " + time + " " + date + " " + message; }
};

// The row of an entry whose text reaches every field.
std::string Row(const Entry& e);

const std::string& TableHeading();   // the 172-byte heading
const std::string& EndOfLog();

struct Page {
    int curI = 0;
    int curF = 0;
    int curN = 0;
    int count = 0;
    std::vector<std::string> rows;   // in ascending index order
    int lowest = 0;                  // lowest and highest listed index
    int highest = 0;
    bool endOfLog = false;           // the heading after a table
    int previous = 100000;           // arguments of the a2 and a3 buttons
    int next = 0;
    int levelSelected = 0;           // 0: no level option marked
    int sizeSelected = 0;            // index of the marked page size

    std::string Html() const;
};

// The head of an index page (TpWebFileList) with its title, heading and
// introduction, up to the opening of the table.
std::string IndexHead(const std::string& title, const std::string& heading, const std::string& intro);

} // namespace web_page
