#include "EachAtOnce.h"

#include <system_error>
#include <thread>
#include <vector>

void RunEachAtOnce(std::size_t count, const std::function<void(std::size_t)>& work)
{
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < count; ++i) {
        try {
            threads.emplace_back(work, i);
        } catch (const std::system_error&) {
            work(i);
        }
    }
    for (std::thread& thread : threads)
        thread.join();
}
