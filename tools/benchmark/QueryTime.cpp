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
// COUNT pairs of queries on the same port: one through DeviceLink, one
// through ReferenceExchange (the least work the system allows), the order
// swapped from pair to pair so that neither always follows the other. A
// pair's two queries meet the same state of the machine, so DeviceLink's own
// overhead is taken pair by pair: its round trip less the reference's.
//
// Prints key=value lines, times in microseconds, medians and 95th
// percentiles (nearest rank) over the COUNT pairs:
//   queries, line (paced or instant), reply_bytes, exchange_bytes,
//   exchange_us (the exchange's wire time at 115200 baud, paced or not),
//   wire_us (exchange_us on a paced line, 0 on an instant one),
//   link_median_us, link_p95_us: DeviceLink's round trips;
//   reference_median_us, reference_p95_us: the reference's;
//   above_wire_median_us, above_wire_p95_us: DeviceLink's less wire_us (its
//     overhead together with the port's and the simulated device's);
//   overhead_median_us, overhead_p95_us: of the pairs' differences.
//
// Exit status: 0 when every query was answered, 1 otherwise, 2 for a wrong
// command line.
#include "DeviceLink.h"
#include "Protocol.h"
#include "ReferenceExchange.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
Spread SpreadOf(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double percent) {
        const auto rank = static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(samples.size())));
        return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
    };
    return {at(50.0), at(95.0)};
}

// The microseconds one call of `query` takes, or a negative number when it
// returns false.
template <typename Query>
double TimeQuery(Query&& query)
{
    const auto start = Clock::now();
    const bool ok = query();
    const auto end = Clock::now();
    return ok ? Microseconds(end - start).count() : -1.0;
}

void PrintSpread(const char* key, Spread spread)
{
    std::printf("%s_median_us=%.1f\n%s_p95_us=%.1f\n", key, spread.median, key, spread.p95);
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "tolvane-querytime: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
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

    // The reference opens first: the device link's open is exclusive.
    ReferenceExchange reference;
    if (!reference.Open(port))
        return Fail("the reference cannot open " + port);
    DeviceLink link;
    if (link.Open(port) != LinkResult::Ok)
        return Fail("DeviceLink cannot open and set up " + port);
    if (!reference.SetUpReads())
        return Fail("the reference cannot set its reads up on " + port);

    // One untimed exchange each: it measures the reply and wakes every layer up.
    std::size_t replyLength = 0;
    LinkResult result = LinkResult::Ok;
    const auto linkQuery = [&] {
        DeviceInfo info;
        result = link.Query(info);
        return result == LinkResult::Ok;
    };
    if (!reference.Query(replyLength) || !linkQuery())
        return Fail("no reply to the first queries on " + port);
    std::size_t length = 0;
    const auto referenceQuery = [&] { return reference.Query(length) && length == replyLength; };

    std::vector<double> linkTimes, referenceTimes, differences;
    for (long pair = 0; pair < count; ++pair) {
        double linkUs = 0.0, referenceUs = 0.0;
        if (pair % 2 == 0) {
            linkUs = TimeQuery(linkQuery);
            referenceUs = TimeQuery(referenceQuery);
        } else {
            referenceUs = TimeQuery(referenceQuery);
            linkUs = TimeQuery(linkQuery);
        }
        if (linkUs < 0)
            return Fail(std::string("a query through DeviceLink failed: ") + LinkResultName(result));
        if (referenceUs < 0)
            return Fail("a reference query failed");
        linkTimes.push_back(linkUs);
        referenceTimes.push_back(referenceUs);
        differences.push_back(linkUs - referenceUs);
    }

    const std::size_t exchangeBytes = AccessCodeLength + replyLength;
    const double exchangeUs = static_cast<double>(exchangeBytes) * ByteTimeUs;
    const double wireUs = paced ? exchangeUs : 0.0;
    const Spread linkSpread = SpreadOf(linkTimes);
    std::printf("queries=%ld\nline=%s\nreply_bytes=%zu\nexchange_bytes=%zu\nexchange_us=%.1f\nwire_us=%.1f\n", count,
                paced ? "paced" : "instant", replyLength, exchangeBytes, exchangeUs, wireUs);
    PrintSpread("link", linkSpread);
    PrintSpread("reference", SpreadOf(referenceTimes));
    PrintSpread("above_wire", {linkSpread.median - wireUs, linkSpread.p95 - wireUs});
    PrintSpread("overhead", SpreadOf(differences));
    return 0;
}
