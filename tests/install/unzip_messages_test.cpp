#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>

#include "install/install.h"

namespace {

TEST(UnzipMessages, EveryResultHasItsText)
{
    const std::map<int, std::string> texts = {
        {2, "Unexpected end of zip file"},
        {3, "Zip file structure invalid"},
        {4, "Out of memory"},
        {5, "Out of memory"},
        {9, "File not found"},
        {11, "All files are up to date."},
        {12, "The same disk volume can not be used as both the source and destination"},
        {25, "Index out of bounds"},
        {28, "Error creating output file"},
        {29, "Error opening archive"},
        {32, "Error could not create target folder"},
        {39, "Bad CRC"},
        {40, "Application cancelled operation"},
        {41, "File skipped, encrypted"},
        {42, "File skipped, unknown compression method"},
        {44, "Bad or missing decrypt code"},
        {45, "Busy, can't enter now"},
        {46, "Can't extract a Volume ID item"},
        {47, "Command syntax error"},
        {48, "Operation cancelled"},
        {49, "Operation skipped"},
        {50, "Disk full"},
    };
    char buffer[UNZIP_TEXT_CHARS];
    for (int result = 0; result <= 50; ++result) {
        SCOPED_TRACE(result);
        auto found = texts.find(result);
        EXPECT_EQ(found == texts.end() ? "" : found->second, UnzipMessageText(result, buffer));
    }
}

// Outside 0 to 50 nothing is read past the table: a failure is told by the
// text at its magnitude when there is one, anything else by its number.
TEST(UnzipMessages, ResultsOutsideTheTableAreNamed)
{
    struct Case {
        int result;
        std::string text;
    } cases[] = {
        {-9, "File not found"},
        {-50, "Disk full"},
        {-1, "Unzip library error -1"},
        {-51, "Unzip library error -51"},
        {51, "Unzip library error 51"},
        {INT_MAX, "Unzip library error 2147483647"},
        {INT_MIN, "Unzip library error -2147483648"},
    };
    char buffer[UNZIP_TEXT_CHARS];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        EXPECT_EQ(c.text, UnzipMessageText(c.result, buffer));
    }
}

}  // namespace
