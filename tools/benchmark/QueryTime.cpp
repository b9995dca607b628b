// tolvane-querytime: times query round trips through DeviceLink, the way the
// window reads a device, and reports how much of each round trip is the
// program's own overhead rather than time on the wire.
//
//   tolvane-querytime [--paced] PORT COUNT
//
// Against the simulated device started with --quick-query (it answers the
// moment the access code is in) and, with --paced, --baud-pacing (its line
// carries the query and the reply at 115200 baud, 10 bits a byte). The wire
// time of one exchange is then (13 + reply bytes) byte times; without
// --paced the line is instant and the wire time is taken as nothing.
//
// COUNT round trips through DeviceLink, then COUNT through ReferenceExchange
// (the least work the system allows). Reported, as median and 95th
// percentile: each one's round trip; DeviceLink's time above the wire time
// (its overhead together with the port's and the simulated device's); and
// DeviceLink's own overhead, its round trip less the reference's.
//
// Exit status: 0 when every query was answered, 1 otherwise, 2 for a wrong
// command line.
#include "DeviceLink.h"
#include "Protocol.h"
#include "ReplyLineReader.h"
#include "ReferenceExchange.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Microseconds = std::chrono::duration<double, std::micro>;

// One byte at 115200 baud with a start and a stop bit.
constexpr double ByteTimeUs = 10.0 * 1000000.0 / 115200.0;
constexpr long MaximumCount = 1000000;

struct Spread {
    double median;
    double p95;
};

// Nearest-rank percentiles.
Spread SpreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double percent) {
        const auto rank = static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(samples.size())));
        return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
    };
    return {at(50.0), at(95.0)};
}

// Times `count` calls of `query`, which returns false on a failure.
template <typename Query>
bool TimeQueries(long count, Query&& query, std::vector<double>& microseconds) {
    microseconds.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        const auto start = Clock::now();
        const bool ok = query();
        const auto end = Clock::now();
        if (!ok)
            return false;
        microseconds.push_back(Microseconds(end - start).count());
    }
    return true;
}

void PrintLine(const char* what, Spread spread, double exchangeUs) {
    std::printf("%s: median %.1f us (%.2f %%), 95th percentile %.1f us (%.2f %%)\n", what, spread.median,
                100.0 * spread.median / exchangeUs, spread.p95, 100.0 * spread.p95 / exchangeUs);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "tolvane-querytime: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    bool paced = false;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--paced") == 0) {
        paced = true;
        first = 2;
    }
    if (argc - first != 2) {
        std::fprintf(stderr, "usage: tolvane-querytime [--paced] PORT COUNT\n");
        return 2;
    }
    const std::string port = argv[first];
    const long count = std::strtol(argv[first + 1], nullptr, 10);
    if (count < 1 || count > MaximumCount) {
        std::fprintf(stderr, "tolvane-querytime: COUNT must be 1 to %ld\n", MaximumCount);
        return 2;
    }

    std::size_t replyLength = 0;
    std::vector<double> linkTimes, referenceTimes;
    {
        std::unique_ptr<SerialPort> owned = CreateSystemSerialPort();
        SerialPort& serialPort = *owned;
        DeviceLink link(std::move(owned));
        if (link.Open(port) != LinkResult::Ok)
            return Fail("DeviceLink cannot open and set up " + port);
        // One untimed exchange: it measures the reply and wakes every layer up.
        ReplyLine reply;
        const PortResult written = serialPort.Write(AccessCode, AccessCodeLength);
        if (!written.Ok() || written.count != AccessCodeLength ||
            ReadReplyLine(serialPort, reply) != LinkResult::Ok)
            return Fail("no reply to the first query on " + port);
        replyLength = reply.length;
        LinkResult result = LinkResult::Ok;
        const auto query = [&] {
            DeviceInfo info;
            result = link.Query(info);
            return result == LinkResult::Ok;
        };
        if (!TimeQueries(count, query, linkTimes))
            return Fail(std::string("a query through DeviceLink failed: ") + LinkResultName(result));
    }
    {
        ReferenceExchange reference;
        if (!reference.Open(port))
            return Fail("the reference cannot open and set up " + port);
        std::size_t length = 0;
        const auto query = [&] { return reference.Query(length) && length == replyLength; };
        if (!query() || !TimeQueries(count, query, referenceTimes))
            return Fail("a reference query failed");
    }

    const double exchangeUs = static_cast<double>(AccessCodeLength + replyLength) * ByteTimeUs;
    const double wireUs = paced ? exchangeUs : 0.0;
    const Spread link = SpreadOf(linkTimes);
    const Spread reference = SpreadOf(referenceTimes);
    std::printf("queries %ld each, %s line, reply %zu bytes, exchange %zu bytes = %.1f us at 115200 baud\n", count,
                paced ? "paced" : "instant", replyLength, AccessCodeLength + replyLength, exchangeUs);
    std::printf("round trip, DeviceLink: median %.1f us, 95th percentile %.1f us\n", link.median, link.p95);
    std::printf("round trip, reference: median %.1f us, 95th percentile %.1f us\n", reference.median,
                reference.p95);
    PrintLine("above the wire time", {link.median - wireUs, link.p95 - wireUs}, exchangeUs);
    PrintLine("own overhead", {link.median - reference.median, link.p95 - reference.p95}, exchangeUs);
    return 0;
}
