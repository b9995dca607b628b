// When the bench's simulated device has dropped its line: it logs
// "hung up" once the old pseudo-terminal is gone and the new one is linked.
// Portable: used by the tests under Wine and natively.
#pragma once

#include "BenchDevice.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

inline int HangupsLogged(int comNumber)
{
    std::ifstream in(BenchDevice::BenchFolder() + "/com" + std::to_string(comNumber) + "-log", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int count = 0;
    for (std::size_t at = log.find("hung up"); at != std::string::npos; at = log.find("hung up", at + 1))
        ++count;
    return count;
}

// Waits until the device has logged `count` hang-ups, at most `timeoutMs`.
inline bool WaitForHangups(int comNumber, int count, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (HangupsLogged(comNumber) < count) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
