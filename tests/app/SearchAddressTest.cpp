// The search address: fixed parts, UTF-8 percent-encoding of the typed text, and cutting a text
// that does not fit at a whole character without ever writing past the buffer.
#include "app/SearchAddress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::wstring kPrefix = L"http://www.baidu.com/s?wd=";
const std::wstring kSuffix =
    L"&rsv_spt=1&issp=1&rsv_bp=0&ie=utf-8&tn=baiduhome_pg&rsv_sug3=3&rsv_sug=0&rsv_sug1=3&rsv_sug4=266&"
    L"inputT=5488";

std::wstring Compose(const wchar_t* text, std::size_t capacity = kSearchAddressCapacity,
                     std::size_t* used = nullptr) {
    // Guard characters after the buffer catch any write past its end.
    std::vector<wchar_t> buffer(capacity + 8, L'#');
    const std::size_t consumed = ComposeSearchAddress(text, buffer.data(), capacity);
    if (used != nullptr) {
        *used = consumed;
    }
    for (std::size_t i = capacity; i < buffer.size(); ++i) {
        EXPECT_EQ(L'#', buffer[i]) << "write past the buffer at " << i;
    }
    return buffer.data();
}

std::wstring Encoded(const std::wstring& escapes) { return kPrefix + escapes + kSuffix; }

}  // namespace

TEST(SearchAddress, FixedPartIsTheTemplateAroundTheText) {
    EXPECT_EQ(Encoded(L""), Compose(L""));
    EXPECT_EQ(Encoded(L""), Compose(nullptr));
    EXPECT_EQ(Encoded(L"abcXYZ019-_.~"), Compose(L"abcXYZ019-_.~"));
}

TEST(SearchAddress, TypedTextIsPercentEncodedAsUtf8) {
    EXPECT_EQ(Encoded(L"%E7%99%BE%E5%BA%A6%E6%88%91%E6%98%AF%E4%BD%A0%E5%A4%A7%E7%88%B7"),
              Compose(L"百度我是你大爷"));
    // Characters that would change the meaning of the query are escaped.
    EXPECT_EQ(Encoded(L"a%20b%26c%3Dd%23e%25f%2Bg%3Fh%2Fi"), Compose(L"a b&c=d#e%f+g?h/i"));
    EXPECT_EQ(Encoded(L"%C3%A9"), Compose(L"é"));
    // A character outside the basic plane (a surrogate pair) is one four-byte sequence.
    EXPECT_EQ(Encoded(L"%F0%9F%98%80"), Compose(L"\U0001F600"));
    // A lone surrogate cannot be encoded; it stands for the replacement character.
    const wchar_t lone[] = {0xD83D, L'x', 0};
    EXPECT_EQ(Encoded(L"%EF%BF%BDx"), Compose(lone));
}

TEST(SearchAddress, TextThatDoesNotFitIsCutAtAWholeCharacter) {
    const std::size_t room = kSearchAddressCapacity - 1 - (kPrefix + kSuffix).size();
    std::size_t used = 0;

    // ASCII: one character per letter, so exactly `room` letters fit.
    const std::wstring letters(room + 50, L'a');
    std::wstring address = Compose(letters.c_str(), kSearchAddressCapacity, &used);
    EXPECT_EQ(room, used);
    EXPECT_EQ(Encoded(std::wstring(room, L'a')), address);
    EXPECT_EQ(kSearchAddressCapacity - 1, address.size());

    // Chinese: nine characters per letter; the cut never leaves half an escape.
    const std::wstring chinese(200, L'中');
    address = Compose(chinese.c_str(), kSearchAddressCapacity, &used);
    EXPECT_EQ(room / 9, used);
    std::wstring expected;
    for (std::size_t i = 0; i < room / 9; ++i) {
        expected += L"%E4%B8%AD";
    }
    EXPECT_EQ(Encoded(expected), address);

    // A surrogate pair is kept or dropped whole.
    std::wstring pairs;
    for (int i = 0; i < 100; ++i) {
        pairs += L"\U0001F600";
    }
    address = Compose(pairs.c_str(), kSearchAddressCapacity, &used);
    EXPECT_EQ(2 * (room / 12), used);
    EXPECT_EQ(0u, (address.size() - (kPrefix + kSuffix).size()) % 12);
}

TEST(SearchAddress, BufferTooSmallForTheFixedPartGivesAnEmptyAddress) {
    EXPECT_EQ(L"", Compose(L"abc", 20));
    EXPECT_EQ(L"", Compose(L"abc", (kPrefix + kSuffix).size()));
    EXPECT_EQ(Encoded(L""), Compose(L"abc", (kPrefix + kSuffix).size() + 1));
    EXPECT_EQ(0u, ComposeSearchAddress(L"abc", nullptr, 100));
}

TEST(SearchAddress, DefaultCapacityHoldsAReasonableQueryAndStaysFarBelowWhatTheShellCanTake) {
    std::size_t used = 0;
    const std::wstring query = L"how to bake bread 怎么做面包 2026";
    Compose(query.c_str(), kSearchAddressCapacity, &used);
    EXPECT_EQ(query.size(), used);
    // However much is typed, the address handed on stays below the ~980 characters the shell takes.
    const std::wstring endless(5000, L'中');
    EXPECT_LT(Compose(endless.c_str()).size(), 980u);
}
