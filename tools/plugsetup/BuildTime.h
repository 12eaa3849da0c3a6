// The build time that plugsetup build stores: given, from SOURCE_DATE_EPOCH, or now.
#pragma once

#include <optional>
#include <string>

// "YYYY-MM-DDTHH:MM:SS" exactly, a valid date and time; taken as the wall-clock time it says.
std::optional<double> ParseBuildTime(const std::string& text);

// SOURCE_DATE_EPOCH: decimal seconds since 1970-01-01 00:00:00 UTC, stored as the UTC
// wall-clock time so the archive does not depend on the builder's time zone.
std::optional<double> BuildTimeFromEpoch(const std::string& text);
