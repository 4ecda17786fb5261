#include "runtime/http.h"
#include "shorten/catalogue.h"
#include "support/test_server.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tovrel::test {
namespace {

using enum ServiceGroup;

struct Row {
    int number;
    ServiceGroup group;
    std::string_view shortDomain;
    std::string_view prefix;
    std::string_view suffix;
};

constexpr std::string_view apikey = "&apikey=Hk7pWqM2zcYn5Vb942@kqt";

constexpr Row expected[] = {
    {1, Keyless, "wbo.cc", "https://relay.qsite.net/weibo_url.php?url=", ""},
    {2, Keyless, "tny.cc", "http://gate.tnylink.net/gettiny?url=", ""},
    {3, Keyless, "dzw.cc", "http://dzw.cc/api.asp?url=", ""},
    {4, Keyless, "urlx.cc", "http://urlx.cc/api/v1/sUrl?type=txt&url=", ""},
    {5, Keyed, "kx6.cc", "http://api.kx6.cc/api.php?url=", apikey},
    {6, Keyed, "qm5.ink", "http://api.qm5.ink/api.php?url=", apikey},
    {7, Keyed, "zd8.top", "http://api.zd8.top/api.php?url=", apikey},
    {8, Keyed, "lnk9.cc", "http://api.lnk9.cc/api.php?url=", apikey},
    {9, Keyed, "fj3.xyz", "http://api.fj3.xyz/api.php?url=", apikey},
    {10, Keyed, "pw7.cc", "http://api.pw7.cc/api.php?url=", apikey},
    {11, Keyed, "ux2.in", "https://ux2.in/api?key=Pq7rVt3KmW9b&url=", ""},
    {12, Keyed, "hb4.top", "https://hb4.top/api?key=Pq7rVt3KmW9b&url=", ""},
    {13, Keyed, "rv1.cc", "https://rv1.cc/api?key=Pq7rVt3KmW9b&url=", ""},
    {14, Keyed, "sx8.ink", "https://sx8.ink/api?key=Pq7rVt3KmW9b&url=", ""},
    {15, Keyed, "yt3.top", "https://yt3.top/api?key=Pq7rVt3KmW9b&url=", ""},
    {16, Keyed, "gq5.cc", "https://gq5.cc/api?key=Pq7rVt3KmW9b&url=", ""},
    {17, Keyed, "nd2.ink", "https://nd2.ink/api?key=Pq7rVt3KmW9b&url=", ""},
    {18, Keyed, "vz7.top", "https://vz7.top/api?key=Pq7rVt3KmW9b&url=", ""},
    {19, Keyed, "cm4.xyz", "https://cm4.xyz/api?key=Pq7rVt3KmW9b&url=", ""},
    {20, Keyed, "jb6.cc", "https://jb6.cc/api?key=Pq7rVt3KmW9b&url=", ""},
    {21, Keyed, "wl9.ink", "https://wl9.ink/api?key=Pq7rVt3KmW9b&url=", ""},
};

// An ampersand, a number sign, a space and a Chinese character: each would change the request unencoded.
const Text longAddress = "http://a.cn/p?x=1&y=2#top 中"_gbk;
constexpr std::string_view encoded = "http%3A%2F%2Fa.cn%2Fp%3Fx%3D1%26y%3D2%23top%20%D6%D0";

bool printableAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

TEST(Catalogue, BuildsEveryRequestFromItsTemplate) {
    ASSERT_EQ(longAddress.substr(longAddress.size() - 2), "\xD6\xD0");
    ASSERT_EQ(std::size(expected), serviceCatalogue().size());
    for (const Row& row : expected) {
        const ShortenService& entry = serviceEntry(row.number);
        SCOPED_TRACE(row.number);
        EXPECT_EQ(entry.number, row.number);
        EXPECT_EQ(&entry, &serviceCatalogue()[static_cast<std::size_t>(row.number - 1)]);
        EXPECT_EQ(entry.group, row.group);
        EXPECT_EQ(entry.shortDomain, row.shortDomain);

        const Text full = requestAddress(entry, longAddress);
        const Text empty = requestAddress(entry, "");
        EXPECT_EQ(full, Text(row.prefix) + Text(encoded) + Text(row.suffix));
        EXPECT_EQ(empty, Text(row.prefix) + Text(row.suffix));
        EXPECT_TRUE(printableAscii(full)) << full;
        if (row.group == Keyless) {
            EXPECT_EQ(full.find("key="), Text::npos) << full;
        }
    }
}

// Every request goes out as built, to its own host; the test server knows every host.
TEST(Catalogue, EveryRequestReachesItsHostUnchanged) {
    TestServer server;
    const HttpClient client(server.options());
    for (const ShortenService& entry : serviceCatalogue()) {
        SCOPED_TRACE(entry.number);
        server.clearRequests();
        const Text address = requestAddress(entry, longAddress);
        EXPECT_FALSE(client.fetch(address).empty());
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), 1u);
        const std::size_t hostStart = address.find("://") + 3;
        const std::size_t objectStart = address.find('/', hostStart);
        EXPECT_EQ(requests[0].scheme, address.substr(0, hostStart - 3));
        EXPECT_EQ(requests[0].line(), "GET " + address.substr(objectStart) + " HTTP/1.0");
        EXPECT_NE(
            requests[0].head.find("\r\nHost: " + address.substr(hostStart, objectStart - hostStart) + "\r\n"),
            std::string::npos);
    }
}

} // namespace
} // namespace tovrel::test
