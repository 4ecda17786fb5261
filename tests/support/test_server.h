#pragma once

#include "runtime/http.h"

#include <QProcess>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tovrel::test {

// What the server answers to a request.
struct Response {
    int status = 200;
    std::string reason = "OK";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;                     // any bytes, zero bytes included
    std::size_t repeat = 1;               // the body is sent this many times
    bool contentLength = true;            // "Content-Length: <whole body>" unless a header names one
    std::optional<std::size_t> dropAfter; // the connection is reset after this many body bytes
    double delaySeconds = 0;              // before anything is sent

    static Response text(std::string body, int status = 200);
    static Response redirect(const std::string& location, int status = 302);
};

struct RecordedRequest {
    std::string scheme;       // "http" or "https": the port it came to
    std::string head;         // raw bytes up to and including the blank line
    std::string line() const; // the request line without its line end
};

// A local HTTP and HTTPS server for every host the program names, scripted per test. Both ports are on
// 127.0.0.1; options() maps every known host there, so addresses keep their real host names:
//
//     TestServer server;
//     server.answer("/api.php", Response::text("http://kx6.cc/x"));
//     HttpClient client(server.options());
//     client.fetch("http://api.kx6.cc/api.php?url=a");
//     server.requests()[0].head; // "GET /api.php?url=a HTTP/1.0\r\nHost: api.kx6.cc\r\n..."
//
// Unscripted requests get a 404 with a small HTML body. The test CA is made once per build and week.
class TestServer final {
public:
    // Serves every host of hosts() and these besides.
    explicit TestServer(const std::vector<std::string>& extraHosts = {});
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Every host the program names: the catalogue's API hosts and short domains and the others.
    static std::vector<std::string> knownHosts();

    int httpPort() const { return m_httpPort; }
    int httpsPort() const { return m_httpsPort; }
    const std::string& caFile() const { return m_caFile; }

    // Port 80 and 443 of every served host go to this server; its CA is the one trusted.
    HttpOptions options() const;

    // Key "/path" answers that path under any query and any host, "/path?query" that exact target,
    // "host/path..." the same for one host only; the most precise key wins. Kept until replaced.
    void answer(const std::string& key, const Response& response);
    void answerDefault(const Response& response);
    void forgetAnswers();

    std::vector<RecordedRequest> requests();
    void clearRequests();

private:
    QByteArray command(const QByteArray& json);

    QProcess m_process;
    std::vector<std::string> m_hosts;
    int m_httpPort = 0;
    int m_httpsPort = 0;
    std::string m_caFile;
};

} // namespace tovrel::test
