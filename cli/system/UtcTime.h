// The time of day as the record and the transcripts write it: UTC, ISO 8601
// with milliseconds, "2026-12-08T17:30:00.123Z", which sorts as it reads and
// means the same on every bench whatever its time zone.
#pragma once

#include <chrono>
#include <string>

std::string UtcTimeText(std::chrono::system_clock::time_point when);
