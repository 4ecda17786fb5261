#pragma once

#include "runtime/text.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tovrel {

// What the outside world decides about every connection; empty in production.
struct HttpOptions {
    // libcurl connect-to entries, "HOST:PORT:CONNECT-TO-HOST:CONNECT-TO-PORT": the named host stays on
    // the request line, in Host and in TLS name checks while the connection goes elsewhere.
    std::vector<std::string> connectTo;
    // A CA bundle to trust instead of the system's; empty: the system's.
    std::string caFile;
};

// A synchronous GET of the whole address; the body whatever the status, empty on any failure.
// Fetches of one client from several threads run one after another.
class HttpClient final {
public:
    explicit HttpClient(HttpOptions options);
    ~HttpClient();

    Bytes fetch(std::string_view address) const;

    const HttpOptions& options() const { return m_options; }

private:
    struct Session;

    HttpOptions m_options;
    std::unique_ptr<Session> m_session;
};

// The bytes up to the first zero byte, unconverted.
Text responseText(const Bytes& bytes);

} // namespace tovrel
