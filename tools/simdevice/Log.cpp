#include "Log.h"

#include <unistd.h>

void Log(const std::string& message)
{
    const std::string line = "tolvane-simdevice: " + message + '\n';
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = write(STDERR_FILENO, line.data() + written, line.size() - written);
        if (n <= 0)
            return;  // nowhere to say it: the device goes on regardless
        written += static_cast<std::size_t>(n);
    }
}
