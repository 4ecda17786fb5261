#pragma once

#include "runtime/text.h"

#include <array>
#include <string_view>

namespace tovrel {

enum class ServiceGroup { Keyless, Keyed };

// One link-shortening web service and the template of its request address.
struct ShortenService {
    int number;                     // 1..21, the number of its check box 选择框n
    ServiceGroup group;             // keyless for 1-4, keyed for 5-21
    std::string_view shortDomain;   // caption of its check box
    std::string_view requestPrefix; // scheme, API host, path and query up to the long address
    std::string_view requestSuffix; // what follows the long address
};

inline constexpr int serviceCount = 21;

const std::array<ShortenService, serviceCount>& serviceCatalogue();

// Entry by its number, 1..21.
const ShortenService& serviceEntry(int number);

// Bytes of a query value: everything but A-Z a-z 0-9 - . _ ~ becomes %XX.
Text percentEncode(std::string_view text);

// Prefix, the long address as a query value, suffix.
Text requestAddress(const ShortenService& entry, std::string_view longAddress);

} // namespace tovrel
