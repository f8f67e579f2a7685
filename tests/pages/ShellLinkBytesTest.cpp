// The byte check made before the shell reads a shortcut file: cut, damaged and foreign files are
// refused, whole ones pass.
#include "pages/ShellLinkBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A shortcut header (76 bytes) with the given flags, then `list` as its item id list bytes.
std::vector<BYTE> Link(DWORD flags, const std::vector<BYTE>& list) {
    std::vector<BYTE> bytes(0x4C, 0);
    bytes[0] = 0x4C;
    const BYTE classId[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    std::memcpy(bytes.data() + 4, classId, sizeof(classId));
    std::memcpy(bytes.data() + 0x14, &flags, sizeof(flags));
    if (flags & 1) {
        bytes.push_back(static_cast<BYTE>(list.size() & 0xFF));
        bytes.push_back(static_cast<BYTE>(list.size() >> 8));
        bytes.insert(bytes.end(), list.begin(), list.end());
    }
    return bytes;
}

// Two items of 5 and 4 bytes, then the terminator.
const std::vector<BYTE> kTwoItems = {5, 0, 0x1F, 0x50, 0xE0, 4, 0, 0x2F, 0x43, 0, 0};

bool Check(const std::vector<BYTE>& bytes) { return ShellLinkItemListIsWhole(bytes.data(), bytes.size()); }

}  // namespace

TEST(ShellLinkBytes, OnlyAWholeItemListWithItsTerminatorPassesEveryCutFails) {
    std::vector<BYTE> whole = Link(1, kTwoItems);
    whole.insert(whole.end(), {0x10, 0, 0, 0});  // what follows the list is not the check's business
    EXPECT_TRUE(Check(whole));
    const size_t listEnd = 0x4C + 2 + kTwoItems.size();
    for (size_t cut = 0; cut < listEnd; ++cut) {
        EXPECT_FALSE(ShellLinkItemListIsWhole(whole.data(), cut)) << "cut at " << cut;
    }
    EXPECT_TRUE(Check(Link(0, {}))) << "a shortcut without a list needs only its header";
    EXPECT_FALSE(ShellLinkItemListIsWhole(nullptr, 0));
}

TEST(ShellLinkBytes, ItemsThatRunPastTheListOrNeverEndAreRefused) {
    EXPECT_FALSE(Check(Link(1, {9, 0, 0x1F, 0x50, 0, 0}))) << "an item longer than the list";
    EXPECT_FALSE(Check(Link(1, {2, 0, 0, 0}))) << "an item of nothing but its length";
    EXPECT_FALSE(Check(Link(1, {5, 0, 0x1F, 0x50, 0xE0}))) << "no terminator";
    EXPECT_FALSE(Check(Link(1, {0}))) << "half a terminator";
    EXPECT_TRUE(Check(Link(1, {0, 0}))) << "an empty list";

    std::vector<BYTE> foreign = Link(1, kTwoItems);
    foreign[4] ^= 0xFF;
    EXPECT_FALSE(Check(foreign)) << "another class of file";
    std::vector<BYTE> longerHeader = Link(1, kTwoItems);
    longerHeader[0] = 0x50;
    EXPECT_FALSE(Check(longerHeader));
}
