#include "support/test_server.h"

#include "shorten/catalogue.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

namespace tovrel::test {

namespace {

constexpr int startTimeoutMs = 30000;
constexpr int commandTimeoutMs = 10000;

// Hosts that other parts of the program fetch from.
const char* const otherHosts[] = {"qr.tovrel.net", "tovrel.net", "pan.tovfile.com", "localhost"};

std::string hostOf(std::string_view address) {
    const std::size_t start = address.find("://") + 3;
    return std::string(address.substr(start, address.find('/', start) - start));
}

// Debian's own interpreter starts faster than a version manager's shim.
QString python() {
    const QString system = QStringLiteral("/usr/bin/python3");
    return QFileInfo::exists(system) ? system : QStringLiteral("python3");
}

// A developer's proxy must not divert the tests' requests.
void dropProxySettings() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char* name :
             {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
            qunsetenv(name);
    });
}

QJsonObject toJson(const Response& response) {
    QJsonArray headers;
    for (const auto& [name, value] : response.headers)
        headers.append(QJsonArray{QString::fromStdString(name), QString::fromStdString(value)});
    QJsonObject json{
        {"status", response.status},
        {"reason", QString::fromStdString(response.reason)},
        {"headers", headers},
        {"body", QString::fromLatin1(QByteArray::fromStdString(response.body).toBase64())},
        {"repeat", static_cast<qint64>(response.repeat)},
        {"contentLength", response.contentLength},
        {"delay", response.delaySeconds},
    };
    if (response.dropAfter) json["dropAfter"] = static_cast<qint64>(*response.dropAfter);
    return json;
}

} // namespace

Response Response::text(std::string body, int status) {
    Response response;
    response.status = status;
    response.reason = status == 200 ? "OK" : "Status";
    response.headers = {{"Content-Type", "text/plain"}};
    response.body = std::move(body);
    return response;
}

Response Response::redirect(const std::string& location, int status) {
    Response response;
    response.status = status;
    response.reason = "Moved";
    response.headers = {{"Location", location}};
    response.body = "moved";
    return response;
}

std::string RecordedRequest::line() const {
    return head.substr(0, head.find("\r\n"));
}

std::vector<std::string> TestServer::knownHosts() {
    std::vector<std::string> hosts(std::begin(otherHosts), std::end(otherHosts));
    for (const ShortenService& entry : serviceCatalogue()) {
        hosts.push_back(hostOf(entry.requestPrefix));
        hosts.emplace_back(entry.shortDomain);
    }
    std::sort(hosts.begin(), hosts.end());
    hosts.erase(std::unique(hosts.begin(), hosts.end()), hosts.end());
    return hosts;
}

TestServer::TestServer(const std::vector<std::string>& extraHosts) : m_hosts(knownHosts()) {
    dropProxySettings();
    m_hosts.insert(m_hosts.end(), extraHosts.begin(), extraHosts.end());
    std::sort(m_hosts.begin(), m_hosts.end());
    m_hosts.erase(std::unique(m_hosts.begin(), m_hosts.end()), m_hosts.end());

    // The CA and server certificate are made once and shared by every test process of the build.
    QStringList arguments{QStringLiteral(TOVREL_TEST_SUPPORT_DIR "/test_server.py"),
                          QStringLiteral(TOVREL_TEST_CA_CACHE)};
    for (const std::string& host : m_hosts)
        arguments << QString::fromStdString(host);

    m_process.setProgram(python());
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    while (!m_process.canReadLine() && m_process.waitForReadyRead(startTimeoutMs)) {
    }
    const QJsonObject ports = QJsonDocument::fromJson(m_process.readLine()).object();
    m_httpPort = ports.value("http").toInt();
    m_httpsPort = ports.value("https").toInt();
    m_caFile = ports.value("ca").toString().toStdString();
    if (m_httpPort == 0 || m_httpsPort == 0)
        ADD_FAILURE() << "the test server did not start: " << m_process.readAllStandardError().toStdString();
}

TestServer::~TestServer() {
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

HttpOptions TestServer::options() const {
    HttpOptions options;
    for (const std::string& host : m_hosts) {
        options.connectTo.push_back(host + ":80:127.0.0.1:" + std::to_string(m_httpPort));
        options.connectTo.push_back(host + ":443:127.0.0.1:" + std::to_string(m_httpsPort));
    }
    options.caFile = m_caFile;
    return options;
}

QByteArray TestServer::command(const QByteArray& json) {
    m_process.write(json + '\n');
    m_process.waitForBytesWritten(commandTimeoutMs);
    while (!m_process.canReadLine() && m_process.waitForReadyRead(commandTimeoutMs)) {
    }
    const QByteArray reply = m_process.readLine();
    if (reply.isEmpty() || reply.contains("\"error\""))
        ADD_FAILURE() << "the test server did not take " << json.toStdString() << ": " << reply.toStdString()
                      << m_process.readAllStandardError().toStdString();
    return reply;
}

void TestServer::answer(const std::string& key, const Response& response) {
    const QJsonObject json{
        {"op", "answer"}, {"key", QString::fromStdString(key)}, {"response", toJson(response)}};
    command(QJsonDocument(json).toJson(QJsonDocument::Compact));
}

void TestServer::answerDefault(const Response& response) {
    const QJsonObject json{{"op", "default"}, {"response", toJson(response)}};
    command(QJsonDocument(json).toJson(QJsonDocument::Compact));
}

void TestServer::forgetAnswers() {
    command(R"({"op":"forget"})");
}

std::vector<RecordedRequest> TestServer::requests() {
    const QJsonObject reply = QJsonDocument::fromJson(command(R"({"op":"requests"})")).object();
    std::vector<RecordedRequest> requests;
    for (const QJsonValue& value : reply.value("requests").toArray()) {
        const QJsonObject request = value.toObject();
        requests.push_back(
            {request.value("scheme").toString().toStdString(),
             QByteArray::fromBase64(request.value("head").toString().toLatin1()).toStdString()});
    }
    return requests;
}

void TestServer::clearRequests() {
    command(R"({"op":"clear"})");
}

} // namespace tovrel::test
