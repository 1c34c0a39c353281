// The command-id header as tools read it: unique names, ascending decimal ids that fit the wire and the store.
#include "core/store/TpStore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

TEST(CommandIds, TheHeaderHoldsUniqueAscendingIdsThatFitTheWireAndTheStore)
{
    std::ifstream in(std::string(ZU_RESOURCES_DIR) + "/KrZuApi.h");
    ASSERT_TRUE(in.good());
    std::set<std::string> names;
    long previous = 0;   // 0 means "not in the store" and is never a command
    int count = 0;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        const auto at = text.find("#define");
        if (at == std::string::npos)
            continue;
        std::istringstream fields(text.substr(at + 7));
        std::string name, value;
        if (!(fields >> name >> value))
            continue;   // the include guard
        ++count;
        ASSERT_TRUE(!value.empty() && value.size() <= 5 && value.find_first_not_of("0123456789") == std::string::npos)
            << "line " << line << ": " << name << " is no plain decimal";
        const long id = std::stol(value);
        EXPECT_EQ(name.rfind("COM_", 0), 0u) << "line " << line << ": " << name;
        EXPECT_TRUE(names.insert(name).second) << name << " is defined twice";
        EXPECT_GT(id, previous) << name << " is out of order (or a duplicate value) on line " << line;
        EXPECT_LT(static_cast<unsigned long>(id), TpCommandEntries::kEntryCount) << name;
        previous = id;
    }
    EXPECT_GT(count, 300);
    EXPECT_LE(previous, 65535) << "ids travel as u16";
}

} // namespace
