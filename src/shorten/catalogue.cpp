#include "shorten/catalogue.h"

#include <cassert>

namespace tovrel {

namespace {

using enum ServiceGroup;

// Request families: 5-10 carry the address before "apikey" over http on "api." + the short domain;
// 11-21 carry "key" before the address over https on the short domain itself.
#define TOVREL_APIKEY_FAMILY(n, domain)                                                                      \
    ShortenService {                                                                                         \
        n, Keyed, domain, "http://api." domain "/api.php?url=", "&apikey=Hk7pWqM2zcYn5Vb942@kqt"             \
    }
#define TOVREL_KEY_FAMILY(n, domain)                                                                         \
    ShortenService {                                                                                         \
        n, Keyed, domain, "https://" domain "/api?key=Pq7rVt3KmW9b&url=", ""                                 \
    }

constexpr std::array<ShortenService, serviceCount> catalogue{{
    {1, Keyless, "wbo.cc", "https://relay.qsite.net/weibo_url.php?url=", ""},
    {2, Keyless, "tny.cc", "http://gate.tnylink.net/gettiny?url=", ""},
    {3, Keyless, "dzw.cc", "http://dzw.cc/api.asp?url=", ""},
    {4, Keyless, "urlx.cc", "http://urlx.cc/api/v1/sUrl?type=txt&url=", ""},
    TOVREL_APIKEY_FAMILY(5, "kx6.cc"),
    TOVREL_APIKEY_FAMILY(6, "qm5.ink"),
    TOVREL_APIKEY_FAMILY(7, "zd8.top"),
    TOVREL_APIKEY_FAMILY(8, "lnk9.cc"),
    TOVREL_APIKEY_FAMILY(9, "fj3.xyz"),
    TOVREL_APIKEY_FAMILY(10, "pw7.cc"),
    TOVREL_KEY_FAMILY(11, "ux2.in"),
    TOVREL_KEY_FAMILY(12, "hb4.top"),
    TOVREL_KEY_FAMILY(13, "rv1.cc"),
    TOVREL_KEY_FAMILY(14, "sx8.ink"),
    TOVREL_KEY_FAMILY(15, "yt3.top"),
    TOVREL_KEY_FAMILY(16, "gq5.cc"),
    TOVREL_KEY_FAMILY(17, "nd2.ink"),
    TOVREL_KEY_FAMILY(18, "vz7.top"),
    TOVREL_KEY_FAMILY(19, "cm4.xyz"),
    TOVREL_KEY_FAMILY(20, "jb6.cc"),
    TOVREL_KEY_FAMILY(21, "wl9.ink"),
}};

#undef TOVREL_APIKEY_FAMILY
#undef TOVREL_KEY_FAMILY

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

} // namespace

const std::array<ShortenService, serviceCount>& serviceCatalogue() {
    return catalogue;
}

const ShortenService& serviceEntry(int number) {
    assert(number >= 1 && number <= serviceCount);
    return catalogue[static_cast<std::size_t>(number - 1)];
}

Text percentEncode(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    Text out;
    out.reserve(text.size() * 3);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (unreserved(c)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}

Text requestAddress(const ShortenService& entry, std::string_view longAddress) {
    Text address(entry.requestPrefix);
    address += percentEncode(longAddress);
    address += entry.requestSuffix;
    return address;
}

} // namespace tovrel
