// 500 sequential fetches of a 30-byte body from a local server: HttpClient beside a bare libcurl GET.
#include "bench_util.h"
#include "local_server.h"
#include "runtime/http.h"

#include <curl/curl.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace {

constexpr int fetches = 500;
constexpr int rounds = 10;
std::size_t discard(char*, std::size_t size, std::size_t count, void* received) {
    *static_cast<std::size_t*>(received) += size * count;
    return size * count;
}

// The reference: a new easy handle per GET with nothing but the address and a sink.
std::size_t bareGet(const std::string& url) {
    std::size_t received = 0;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &received);
    curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    return received;
}

// The same with one easy handle kept for every GET.
class BareReusedGet {
public:
    BareReusedGet() : m_curl(curl_easy_init()) {}
    ~BareReusedGet() { curl_easy_cleanup(m_curl); }
    std::size_t operator()(const std::string& url) {
        std::size_t received = 0;
        curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, discard);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &received);
        curl_easy_perform(m_curl);
        return received;
    }

private:
    CURL* m_curl;
};

// Mean microseconds per call; checks every call got the whole body.
double timed(int count, const std::function<std::size_t()>& fetch, bool& ok) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i)
        ok = fetch() == 30 && ok;
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / count;
}

} // namespace

int main() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    tovrel::bench::LocalServer server;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/api.php?url=x";
    const tovrel::HttpClient client(tovrel::HttpOptions{});
    const auto ours = [&] { return client.fetch(url).size(); };
    const auto bare = [&] { return bareGet(url); };
    BareReusedGet reusedHandle;
    const auto bareReused = [&] { return reusedHandle(url); };

    bool ok = true;
    timed(50, ours, ok);
    timed(50, bare, ok);
    timed(50, bareReused, ok);
    // Alternating rounds so that a busy machine weighs on all alike.
    double oursTotal = 0, bareTotal = 0, reusedTotal = 0;
    for (int round = 0; round < rounds; ++round) {
        oursTotal += timed(fetches / rounds, ours, ok);
        bareTotal += timed(fetches / rounds, bare, ok);
        reusedTotal += timed(fetches / rounds, bareReused, ok);
    }
    const double oursMean = oursTotal / rounds, bareMean = bareTotal / rounds,
                 reusedMean = reusedTotal / rounds;
    tovrel::bench::printRatioRow("fetch of 30 bytes, 500x (vs new bare handle)", oursMean, bareMean, "us",
                                 1.2);
    tovrel::bench::printRatioRow("fetch of 30 bytes, 500x (vs reused handle)", oursMean, reusedMean, "us",
                                 1.2);
    if (!ok) std::printf("some fetches did not get the whole body\n");
    curl_global_cleanup();
    return ok ? 0 : 1;
}
