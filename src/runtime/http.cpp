#include "runtime/http.h"

#include <algorithm>

namespace tovrel {

HttpClient::HttpClient(HttpOptions options) : m_options(std::move(options)) {}

Bytes HttpClient::fetch(std::string_view) const { return {}; }

Text responseText(const Bytes& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return Text(bytes.begin(), end);
}

} // namespace tovrel
