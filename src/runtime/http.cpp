#include "runtime/http.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>

namespace tovrel {

namespace {

// The room of the split, as the address's parts are written.
constexpr std::size_t maxHost = 255;
constexpr std::size_t maxUser = 127;
constexpr std::size_t maxPassword = 127;
constexpr std::size_t maxObject = 2047;

// A hostile server must not exhaust memory.
constexpr std::size_t maxBody = std::size_t{32} << 20;

constexpr char userAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    void operator()(char* text) const { curl_free(text); }
};
using EasyHandle = std::unique_ptr<CURL, CurlDeleter>;
using UrlHandle = std::unique_ptr<CURLU, CurlDeleter>;
using CurlText = std::unique_ptr<char, CurlDeleter>;

// Once per process; a failed initialisation is tried again by the next fetch.
bool curlReady() {
    static std::mutex mutex;
    static bool ready = false;
    const std::lock_guard lock(mutex);
    if (!ready) ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

// Every byte must stand on the request line as it is: printable ASCII, no space.
bool requestLineSafe(std::string_view address) {
    return std::all_of(address.begin(), address.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c > 0x20 && c < 0x7F;
    });
}

// Length of a part that may be absent; npos when the split failed.
std::size_t partLength(CURLU* url, CURLUPart part) {
    char* text = nullptr;
    const CURLUcode code = curl_url_get(url, part, &text, 0);
    const CurlText owned(text);
    if (code == CURLUE_OK) return std::string_view(text).size();
    if (code == CURLUE_NO_USER || code == CURLUE_NO_PASSWORD) return 0;
    return std::string_view::npos;
}

struct Split {
    UrlHandle url;
    bool https = false;
};

// The address without its fragment, split; nothing when it does not fit or is not http(s).
std::optional<Split> splitAddress(std::string_view address) {
    if (address.empty() || !requestLineSafe(address)) return std::nullopt;

    // The object is everything after the authority, its "#" part included.
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos || address.substr(colon + 1, 2) != "//") return std::nullopt;
    const std::size_t objectStart = address.find_first_of("/?#", colon + 3);
    if (objectStart != std::string_view::npos && address.size() - objectStart > maxObject)
        return std::nullopt;

    Split split{UrlHandle(curl_url()), false};
    if (!split.url) return std::nullopt;
    const std::string withoutFragment(address.substr(0, address.find('#')));
    if (curl_url_set(split.url.get(), CURLUPART_URL, withoutFragment.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK)
        return std::nullopt;

    char* scheme = nullptr;
    if (curl_url_get(split.url.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) return std::nullopt;
    const CurlText ownedScheme(scheme);
    const std::string_view schemeName(scheme);
    if (schemeName != "http" && schemeName != "https") return std::nullopt;
    split.https = schemeName == "https";

    const std::size_t host = partLength(split.url.get(), CURLUPART_HOST);
    const std::size_t user = partLength(split.url.get(), CURLUPART_USER);
    const std::size_t password = partLength(split.url.get(), CURLUPART_PASSWORD);
    if (host == 0 || host > maxHost || user > maxUser || password > maxPassword) return std::nullopt;
    return split;
}

struct Sink {
    Bytes body;
    bool tooLarge = false;
};

std::size_t collect(char* data, std::size_t size, std::size_t count, void* userData) {
    auto& sink = *static_cast<Sink*>(userData);
    const std::size_t length = size * count;
    if (length > maxBody - sink.body.size()) {
        sink.tooLarge = true;
        return 0; // anything but length aborts the transfer
    }
    sink.body.insert(sink.body.end(), data, data + length);
    return length;
}

curl_slist* append(curl_slist* list, const char* line) {
    curl_slist* longer = curl_slist_append(list, line);
    if (!longer) curl_slist_free_all(list);
    return longer;
}

} // namespace

// The one easy handle of a client and what its options point at, used by one fetch at a time.
struct HttpClient::Session {
    std::mutex mutex;
    EasyHandle handle;
    std::unique_ptr<curl_slist, CurlDeleter> connectTo;
    std::unique_ptr<curl_slist, CurlDeleter> proxyHeaders;
    bool ready = false;

    bool prepare(const HttpOptions& options) {
        if (ready) return true;
        if (!handle) handle.reset(curl_easy_init());
        if (!handle) return false;
        curl_slist* list = nullptr;
        for (const std::string& entry : options.connectTo)
            if (!(list = append(list, entry.c_str()))) return false;
        connectTo.reset(list);
        // Only a proxy sees these: no answer from its cache, and no keep-alive it would add otherwise.
        list = append(nullptr, "Pragma: no-cache");
        if (list) list = append(list, "Proxy-Connection:");
        proxyHeaders.reset(list);
        return ready = list != nullptr;
    }
};

HttpClient::HttpClient(HttpOptions options)
    : m_options(std::move(options)), m_session(std::make_unique<Session>()) {}

HttpClient::~HttpClient() = default;

Bytes HttpClient::fetch(std::string_view address) const {
    if (!curlReady()) return {};
    const std::optional<Split> split = splitAddress(address);
    if (!split) return {};

    const std::lock_guard lock(m_session->mutex);
    if (!m_session->prepare(m_options)) return {};
    CURL* curl = m_session->handle.get();
    // A clean slate each time; the handle keeps only its DNS and TLS session caches.
    curl_easy_reset(curl);

    Sink sink;
    curl_easy_setopt(curl, CURLOPT_CURLU, split->url.get());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    // Never from https down to http.
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, split->https ? "https" : "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(curl, CURLOPT_USERAGENT, userAgent);
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    // The body runs to the end of the connection, whatever Content-Length says.
    curl_easy_setopt(curl, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    // Offered alone for an HTTP/1.0 request, "http/1.0" makes some servers reset the handshake.
    curl_easy_setopt(curl, CURLOPT_SSL_ENABLE_ALPN, 0L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
    // Abandoned after 30 s without a byte; what arrived is kept.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 30L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // A proxy from the environment must not answer from its cache; the origin server sees no extra header.
    curl_easy_setopt(curl, CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE));
    curl_easy_setopt(curl, CURLOPT_PROXYHEADER, m_session->proxyHeaders.get());
    if (m_session->connectTo) curl_easy_setopt(curl, CURLOPT_CONNECT_TO, m_session->connectTo.get());
    if (!m_options.caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, m_options.caFile.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);

    // A failure after the first body byte leaves the bytes so far; before it, none arrived.
    curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_CURLU, nullptr);
    if (sink.tooLarge) return {};
    return std::move(sink.body);
}

Text responseText(const Bytes& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return Text(bytes.begin(), end);
}

} // namespace tovrel
